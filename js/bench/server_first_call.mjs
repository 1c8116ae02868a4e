// Server side, the first call in a fresh Node process: importing the
// package, loading German, French and English and hyphenating a paragraph
// of each, with hyph and with Hyphenopoly 6 (its Node module, the patterns
// read from its package as its README shows), alternately; medians over
// ROUNDS processes (default 15).
//
//   node server_first_call.mjs HYPH_PACKAGE HYPHENOPOLY_PACKAGE
import { execFileSync } from "node:child_process";
import { join } from "node:path";
import { pathToFileURL } from "node:url";

const paragraphs = {
  de: "Die Silbentrennung verbessert den Blocksatz, besonders in schmalen Spalten, " +
      "wo lange Zusammensetzungen wie Donaudampfschifffahrtsgesellschaft sonst Lücken reißen.",
  fr: "La césure améliore la justification du texte, surtout dans les colonnes étroites " +
      "où les mots anticonstitutionnellement longs laisseraient des blancs.",
  "en-us": "Hyphenation improves the justification of text, especially in narrow columns " +
           "where long words would otherwise leave unsightly gaps between the others.",
};

const [hyphPackage, peerPackage] = process.argv.slice(2);
if (process.argv[2] === "--child") {
  const [, kind, where] = process.argv.slice(2);
  const t0 = performance.now();
  let out;
  if (kind === "hyph") {
    const { loadLanguage, hyphenateText } = await import(pathToFileURL(join(where, "node.js")).href);
    await Promise.all(Object.keys(paragraphs).map((lang) => loadLanguage(lang)));
    out = Object.entries(paragraphs).map(([lang, text]) => hyphenateText(text, { lang }));
  } else {
    const { default: hyphenopoly } = await import(pathToFileURL(join(where, "hyphenopoly.module.js")).href);
    const { readFile } = await import("node:fs/promises");
    const hyphenator = hyphenopoly.config({
      loader: async (file, patDir) => readFile(new URL(file, patDir)),
      require: Object.keys(paragraphs),
    });
    out = await Promise.all(Object.entries(paragraphs).map(
      async ([lang, text]) => (await hyphenator.get(lang))(text)));
  }
  const t1 = performance.now();
  console.log(JSON.stringify({ ms: t1 - t0, soft: out.join("").split("\u00AD").length - 1 }));
} else {
  if (!peerPackage) {
    console.error("usage: server_first_call.mjs HYPH_PACKAGE HYPHENOPOLY_PACKAGE");
    process.exit(2);
  }
  const rounds = Number(process.env.ROUNDS ?? 15);
  const runs = { hyph: [], hyphenopoly: [] };
  for (let r = 0; r < rounds; r++)
    for (const [kind, where] of [["hyph", hyphPackage], ["hyphenopoly", peerPackage]])
      runs[kind].push(JSON.parse(execFileSync(process.execPath,
        [new URL(import.meta.url).pathname, "--child", kind, where], { encoding: "utf8" })));
  const median = (values) => values.sort((a, b) => a - b)[Math.floor(values.length / 2)];
  console.log(`import, three languages and a paragraph of each in a fresh Node process, ${rounds} processes:`);
  for (const [kind, reports] of Object.entries(runs)) {
    const ms = reports.map((report) => report.ms);
    console.log(`${kind.padEnd(12)} median ${median([...ms]).toFixed(1)} ms (${Math.min(...ms).toFixed(1)}-` +
                `${Math.max(...ms).toFixed(1)}), ${reports[0].soft} soft hyphens`);
  }
}
