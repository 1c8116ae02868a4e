// The first word of a language in a fresh page of headless Chromium, from
// the language file's arrival to the first word's pieces: fetched by
// loadLanguage as a page does (the packed file, languages/AFFIX.tables,
// from the end of its response as the page's resource timing has it), and
// given as bytes in hand (loadLanguage's `tables`), packed and compiled
// (AFFIX.compiled, what Node reads). Medians over ROUNDS pages (default 5),
// each in a Chromium of its own, the language loaded once the browser has
// settled (SETTLE milliseconds, default 1500; 0 as a page meets it,
// noisier).
//
//   node first_word_page.mjs [AFFIX...]     (default en-us de-1996 fr ru hu)
//
// The package is build/js/package, or the folder that HYPH_PACKAGE names.
import { reportOf } from "../test/chromium.mjs";

const root = process.env.HYPH_PACKAGE ?? new URL("../../build/js/package", import.meta.url).pathname;
const rounds = Number(process.env.ROUNDS ?? 5);
// Milliseconds to wait before the clock starts: a fresh Chromium starts its
// own processes for a second or so, which on two cores took as long again
// as the work measured, and more on some pages than on others.
const settle = Number(process.env.SETTLE ?? 1500);
const page = (affix, kind) => `<!doctype html><script type="module">
import { init, loadLanguage, hyphenate } from "/index.js";
await init();
const given = ${kind === "fetched"}
  ? null : new Uint8Array(await (await fetch("/languages/${affix}.${kind}")).arrayBuffer());
await new Promise((resolve) => setTimeout(resolve, ${settle}));
let t0 = performance.now();
await loadLanguage("${affix}", given ? { tables: given } : {});
hyphenate("Silbentrennung", "${affix}");
const t1 = performance.now();
if (!given) {
  t0 = performance.getEntriesByType("resource")
    .find((entry) => entry.name.endsWith("/languages/${affix}.tables")).responseEnd;
}
await fetch("/result", { method: "POST", body: String(t1 - t0) });
</script>`;
const median = (values) => values.sort((a, b) => a - b)[Math.floor(values.length / 2)];
for (const affix of process.argv.length > 2 ? process.argv.slice(2) : ["en-us", "de-1996", "fr", "ru", "hu"]) {
  const line = [];
  for (const kind of ["fetched", "tables", "compiled"]) {
    const times = [];
    for (let r = 0; r < rounds; r++)
      times.push(Number(await reportOf(root, "/first.html", { "/first.html": page(affix, kind) })));
    line.push(`${kind} ${median(times).toFixed(2)} ms`);
  }
  console.log(`${affix.padEnd(8)} file's arrival to first word, median: ${line.join(", ")}`);
}
