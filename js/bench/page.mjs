// A page as a reader meets it: Debian's German, French and English manual
// pages rendered to HTML (dpkg(1) in the three languages, xz(1) in German;
// groff's HTML output), each part marked with its `lang`, opened in a fresh
// headless Chromium. Measures the time from the navigation's start to the
// page hyphenated, with hyph (hyphenateElement, which fetches the packed
// tables of the languages it meets) and with Hyphenopoly 6 (every language
// forced, as Chromium on Debian hyphenates none itself), alternately, and
// prints the medians over ROUNDS pages (default 5) and what each inserted.
//
//   node page.mjs HYPH_PACKAGE HYPHENOPOLY_PACKAGE
//
// HYPH_PACKAGE is the npm package's folder (build/js/package) and
// HYPHENOPOLY_PACKAGE an installed hyphenopoly (node_modules/hyphenopoly);
// `tools/dev js-page` installs what it needs and runs it.
import { execSync } from "node:child_process";
import { existsSync, mkdtempSync, rmSync, symlinkSync } from "node:fs";
import { tmpdir } from "node:os";
import { join } from "node:path";
import { reportOf } from "../test/chromium.mjs";

const [hyphPackage, peerPackage] = process.argv.slice(2);
if (!peerPackage) {
  console.error("usage: page.mjs HYPH_PACKAGE HYPHENOPOLY_PACKAGE");
  process.exit(2);
}
const rounds = Number(process.env.ROUNDS ?? 5);

const root = mkdtempSync(join(tmpdir(), "hyph-page-"));

/** A manual page's body as groff renders it to HTML (its images, if any, left in `root`). */
function manual(path) {
  if (!existsSync(path)) throw new Error(`${path} is missing (Debian's dpkg and xz-utils install it)`);
  const html = execSync(`zcat ${path} | preconv -e UTF-8 | groff -Thtml -mandoc -P-l -P-r`,
                        { cwd: root, encoding: "utf8", maxBuffer: 64 << 20,
                          stdio: ["ignore", "pipe", "ignore"] });
  return html.slice(html.indexOf(">", html.indexOf("<body")) + 1, html.lastIndexOf("</body>"));
}
const parts = [
  ["de", "/usr/share/man/de/man1/dpkg.1.gz"], ["de", "/usr/share/man/de/man1/xz.1.gz"],
  ["fr", "/usr/share/man/fr/man1/dpkg.1.gz"], ["en-us", "/usr/share/man/man1/dpkg.1.gz"],
];
const body = parts.map(([lang, path]) => `<div lang="${lang}">${manual(path)}</div>`).join("\n");
const head = '<!doctype html><html><head><meta charset="utf-8"><title>Manual pages</title>' +
  "<style>body { width: 36em; text-align: justify; hyphens: manual; }</style>";
// What each page reports when it is done: the time since the navigation
// started, and the soft hyphens in the text.
const report = `(() => fetch("/result", { method: "POST", body: JSON.stringify({
  done: performance.now(), soft: (document.body.textContent.match(/\\u00AD/g) ?? []).length,
  characters: document.body.textContent.replace(/\\u00AD/g, "").length }) }))`;

const pages = {
  "/hyph.html": `${head}<script type="module">
import { hyphenateElement } from "/hyph/index.js";
await hyphenateElement(document.body, { minWordLength: 6 });
(${report})();
</script></head><body>${body}</body></html>`,
  "/hyphenopoly.html": `${head}<script src="/hyphenopoly/Hyphenopoly_Loader.js"></script>
<script>
Hyphenopoly.config({
  require: { de: "FORCEHYPHENOPOLY", fr: "FORCEHYPHENOPOLY", "en-us": "FORCEHYPHENOPOLY" },
  paths: { maindir: "/hyphenopoly/", patterndir: "/hyphenopoly/patterns/" },
  setup: { selectors: { body: {} } },
  handleEvent: { hyphenopolyEnd: ${report} },
});
</script></head><body>${body}</body></html>`,
};

try {
  symlinkSync(hyphPackage, join(root, "hyph"));
  symlinkSync(join(peerPackage, "min"), join(root, "hyphenopoly"));
  const runs = { hyph: [], hyphenopoly: [] };
  for (let r = 0; r < rounds; r++)
    for (const name of Object.keys(runs))
      runs[name].push(JSON.parse(await reportOf(root, `/${name}.html`, pages)));
  const median = (values) => values.sort((a, b) => a - b)[Math.floor(values.length / 2)];
  console.log(`page: ${runs.hyph[0].characters} characters of text (de, fr, en-us), ${rounds} pages each, ` +
              "milliseconds from the navigation's start to the page hyphenated (median, best, worst)");
  for (const [name, reports] of Object.entries(runs)) {
    const done = reports.map((report) => report.done);
    console.log(`${name.padEnd(12)} ${median([...done]).toFixed(0)} ms (${Math.min(...done).toFixed(0)}-` +
                `${Math.max(...done).toFixed(0)}), ${reports[0].soft} soft hyphens`);
  }
} finally {
  rmSync(root, { recursive: true, force: true });
}
