// What a page fetches, language by language: hyph's files against
// Hyphenopoly's (npm hyphenopoly, the package that pages use today) and the
// TeX files they come from, raw and gzipped (level 9, as a server sends
// them). Prints a Markdown table, for the README.
//
//   node js/bench/sizes.mjs HYPH_PACKAGE DATA_DIR [HYPHENOPOLY_PACKAGE]
//
// HYPH_PACKAGE is the npm package's folder (build/js/package), DATA_DIR
// hyph's data/ (the TeX pattern and exception files, gzipped), and
// HYPHENOPOLY_PACKAGE an installed hyphenopoly
// (npm install --prefix DIR hyphenopoly@6.1.0; DIR/node_modules/hyphenopoly).
import { existsSync, readFileSync } from "node:fs";
import { join } from "node:path";
import { gunzipSync, gzipSync } from "node:zlib";

const [pkg, data, peer] = process.argv.slice(2);
if (!data) {
  console.error("usage: sizes.mjs HYPH_PACKAGE DATA_DIR [HYPHENOPOLY_PACKAGE]");
  process.exit(2);
}
// A file that is gzipped already (hyph's languages) is sent as it is.
const sizes = (path) => {
  const bytes = readFileSync(path);
  if (bytes[0] === 0x1f && bytes[1] === 0x8b) return { raw: gunzipSync(bytes).length, gz: bytes.length };
  return { raw: bytes.length, gz: gzipSync(bytes, { level: 9 }).length };
};
const kb = (n) => (n / 1000).toFixed(n < 10000 ? 1 : 0);
const { languages } = await import(join(pkg, "node.js"));

/** Hyphenopoly's file for one of hyph's affixes, if it has the language. */
function peerFile(affix) {
  if (!peer) return null;
  const names = [affix, affix.replace(/-(1996|monoton|polyton)$/, ""), affix.split("-")[0],
                 { "mn-cyrl-x-lmc": "mn-cyrl", "sh-latn": "sh-latn", "sh-cyrl": "sh-cyrl" }[affix]];
  for (const name of names) {
    const path = name && join(peer, "patterns", `${name}.wasm`);
    if (path && existsSync(path)) return path;
  }
  return null;
}

const core = sizes(join(pkg, "hyph.wasm"));
const script = sizes(join(pkg, "index.js"));
console.log(`hyph's core: hyph.wasm ${kb(core.raw)} KB (${kb(core.gz)} KB gzipped), index.js ` +
            `${kb(script.raw)} KB (${kb(script.gz)} KB)`);
if (peer) {
  const loader = sizes(join(peer, "min", "Hyphenopoly_Loader.js"));
  const engine = sizes(join(peer, "min", "Hyphenopoly.js"));
  console.log(`Hyphenopoly's core: Hyphenopoly_Loader.js ${kb(loader.raw)} KB (${kb(loader.gz)} KB), ` +
              `Hyphenopoly.js ${kb(engine.raw)} KB (${kb(engine.gz)} KB); each language's .wasm holds its engine`);
}
console.log("");
console.log("| language | affix | hyph KB | gzipped | TeX files gzipped | Hyphenopoly KB | gzipped |");
console.log("|---|---|--:|--:|--:|--:|--:|");
const total = { raw: 0, gz: 0, tex: 0, peerRaw: 0, peerGz: 0 };
for (const { name, affix } of languages()) {
  const ours = sizes(join(pkg, "languages", `${affix}.tables`));
  let tex = 0;
  for (const kind of ["pat", "hyp"]) {
    const path = join(data, `hyph-${affix}.${kind}.txt.gz`);
    if (existsSync(path)) tex += readFileSync(path).length;
  }
  const file = peerFile(affix);
  const theirs = file ? sizes(file) : null;
  total.raw += ours.raw;
  total.gz += ours.gz;
  total.tex += tex;
  if (theirs) {
    total.peerRaw += theirs.raw;
    total.peerGz += theirs.gz;
  }
  console.log(`| ${name} | ${affix} | ${kb(ours.raw)} | ${kb(ours.gz)} | ${kb(tex)} | ` +
              `${theirs ? kb(theirs.raw) : "-"} | ${theirs ? kb(theirs.gz) : "-"} |`);
}
console.log(`| all 73 | | ${kb(total.raw)} | ${kb(total.gz)} | ${kb(total.tex)} | ` +
            `${kb(total.peerRaw)} | ${kb(total.peerGz)} |`);
