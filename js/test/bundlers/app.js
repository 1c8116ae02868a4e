// A page's script as a web developer writes it: hyph imported by its name,
// two languages loaded at once; the result goes back to the test's server.
import { hyphenateText, loadLanguage } from "hyph";

let result;
try {
  await Promise.all([loadLanguage("de"), loadLanguage("fr")]);
  result = [
    hyphenateText("Silbentrennung", { lang: "de", separator: "-" }),
    hyphenateText("anticonstitutionnellement", { lang: "fr", separator: "-" }),
  ].join(" ");
} catch (error) {
  result = `error: ${error.message}`;
}
await fetch("/result", { method: "POST", body: result });
