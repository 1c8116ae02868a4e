// A Node program bundled with esbuild: its hyph reads its files beside the
// bundle.
import { hyphenateText, loadLanguage } from "hyph";

await loadLanguage("de");
console.log(hyphenateText("Silbentrennung", { lang: "de", separator: "-" }));
