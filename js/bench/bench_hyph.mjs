// The hyph npm package in the peers' benchmark protocol (see the peers'
// README): per-word time in Node over a word list, and a cold start.
//
//   node bench_hyph.mjs LANG WORDLIST SAMPLES RUNS [DUMP]
//   node bench_hyph.mjs LANG --cold WORD
//
// LANG is the word list's tag (en-us, de), a name that hyph takes. The
// package is the one that HYPH_JS names (its node.js), by default the
// build's (build/js/package). Each word goes through hyphenate(), which
// returns its pieces; the loop counts the breaks and sums their offsets (in
// UTF-16 code units).
import { readFileSync } from "node:fs";
import { fileURLToPath, pathToFileURL } from "node:url";

const packageUrl = process.env.HYPH_JS
  ? pathToFileURL(process.env.HYPH_JS).href
  : new URL("../../build/js/package/node.js", import.meta.url).href;
const { hyphenate, loadLanguage, version } = await import(packageUrl);

const now = () => process.hrtime.bigint();
const readWords = (path) => readFileSync(path, "utf8").split("\n").filter((w) => w.length > 0);
const vmHwmKb = () => Number(/VmHWM:\s+(\d+)/.exec(readFileSync("/proc/self/status", "utf8"))?.[1] ?? -1);

const argv = process.argv.slice(2);
const lang = argv[0];
if (argv[1] === "--cold") {
  await loadLanguage(lang);
  console.log(hyphenate(argv[2], lang).join("-"));
  process.exit(0);
}
if (argv.length !== 4 && argv.length !== 5) {
  console.error("usage: bench_hyph.mjs LANG WORDLIST SAMPLES RUNS [DUMP]");
  process.exit(2);
}
const words = readWords(argv[1]);
const samples = readWords(argv[2]);
const runs = Number(argv[3]);

let t0 = now();
const language = await loadLanguage(lang);
console.log("load_ns " + (now() - t0));
console.log(`peer hyph-js-${version}`);
console.log(`dict ${language.name} (${language.affix}.tables)`);
console.log("words " + words.length);
let codepoints = 0;
for (const w of words) codepoints += [...w].length;
console.log("codepoints " + codepoints);
t0 = now();
hyphenate(samples[0], lang);
console.log("first_ns " + (now() - t0));
for (const s of samples) console.log("sample " + hyphenate(s, lang).join("-"));

let breaks = -1, possum = -1;
for (let r = -1; r < runs; r++) { // r == -1: the warm-up pass
  let b = 0, p = 0;
  const c0 = process.cpuUsage();
  t0 = now();
  for (let i = 0; i < words.length; i++) {
    const pieces = hyphenate(words[i], lang);
    for (let k = 0, at = 0; k + 1 < pieces.length; k++) {
      at += pieces[k].length;
      b++;
      p += at;
    }
  }
  const ns = now() - t0;
  const c = process.cpuUsage(c0);
  if (r >= 0) console.log("run_ns " + ns + "\nrun_cpu_ns " + (c.user + c.system) * 1000);
  if (r > 0 && (b !== breaks || p !== possum)) throw new Error("runs disagree");
  breaks = b;
  possum = p;
}
console.log("breaks " + breaks + "\npossum " + possum);

const dumpPath = argv[4] && argv[4] !== "-" ? argv[4] : null;
const lines = [];
let h = 14695981039346656037n;
const mask = (1n << 64n) - 1n;
const encoder = new TextEncoder();
for (const w of words) {
  const out = hyphenate(w, lang).join("-");
  for (const c of encoder.encode(out + "\n")) h = ((h ^ BigInt(c)) * 1099511628211n) & mask;
  if (dumpPath) lines.push(out);
}
if (dumpPath) (await import("node:fs")).writeFileSync(dumpPath, lines.join("\n") + "\n");
console.log("digest " + h.toString(16).padStart(16, "0"));
console.log("vmhwm_kb " + vmHwmKb());
