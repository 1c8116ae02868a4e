// The first word of a language in a fresh Node process: the time to load
// the WebAssembly module (init), and from loadLanguage to the first word's
// pieces (reading the language's file included). Medians over ROUNDS
// processes (default 15) for each language given (default en-us de fr ru hu).
//
//   node first_word.mjs [LANG...]
//
// The package is the one that HYPH_JS names (its node.js), by default the
// build's (build/js/package).
import { execFileSync } from "node:child_process";
import { pathToFileURL } from "node:url";

const packageUrl = process.env.HYPH_JS
  ? pathToFileURL(process.env.HYPH_JS).href
  : new URL("../../build/js/package/node.js", import.meta.url).href;

if (process.argv[2] === "--child") {
  const { init, loadLanguage, hyphenate } = await import(packageUrl);
  const lang = process.argv[3];
  const t0 = performance.now();
  await init();
  const t1 = performance.now();
  await loadLanguage(lang);
  hyphenate("Silbentrennung", lang);
  const t2 = performance.now();
  console.log(JSON.stringify({ init: t1 - t0, first: t2 - t1 }));
} else {
  const rounds = Number(process.env.ROUNDS ?? 15);
  const median = (values) => values.sort((a, b) => a - b)[Math.floor(values.length / 2)];
  for (const lang of process.argv.length > 2 ? process.argv.slice(2) : ["en-us", "de", "fr", "ru", "hu"]) {
    const runs = [];
    for (let r = 0; r < rounds; r++) {
      const out = execFileSync(process.execPath, [new URL(import.meta.url).pathname, "--child", lang],
                               { encoding: "utf8" });
      runs.push(JSON.parse(out));
    }
    const first = runs.map((r) => r.first);
    console.log(`${lang.padEnd(6)} init ${median(runs.map((r) => r.init)).toFixed(2)} ms, ` +
                `loadLanguage to first word: median ${median([...first]).toFixed(2)} ms, ` +
                `best ${Math.min(...first).toFixed(2)}, worst ${Math.max(...first).toFixed(2)}`);
  }
}
