// The package as a web developer builds it into a page: with esbuild, Vite
// and webpack, each with nothing but the recipe that the README gives, and
// as a plain <script> tag; each page is opened in Debian's chromium,
// headless, and must load German and French at once, hyphenate with them,
// and post the result back. Run where the bundlers are installed beside the package (tools/dev
// js does that in build/js/bundlers from js/test/bundlers); skipped
// elsewhere, and where there is no chromium (CHROMIUM names one).
import assert from "node:assert/strict";
import { execFile } from "node:child_process";
import { cpSync, existsSync, rmSync, writeFileSync } from "node:fs";
import { join } from "node:path";
import { test } from "node:test";
import { promisify } from "node:util";

import { hasChromium, reportOf } from "./chromium.mjs";

const run = promisify(execFile);
const here = process.cwd();
const bundlers = existsSync(join(here, "node_modules", ".bin", "esbuild")) &&
  existsSync(join(here, "node_modules", "hyph"));
const skip = !bundlers || !hasChromium;
const expected = "Sil-ben-tren-nung an-ti-cons-ti-tu-tion-nel-le-ment";

/** What the page at `root`/`page` posts back. */
const resultOf = (root, page = "index.html") => reportOf(root, `/${page}`);

/** Runs a bundler's command in this folder. */
async function build(command, ...args) {
  await run(join(here, "node_modules", ".bin", command), args, { cwd: here, timeout: 300000 });
}

/** A page that loads `script`, a bundle in `dir`. */
function page(dir, script, type = "module") {
  writeFileSync(join(dir, "index.html"),
    `<!DOCTYPE html><html><head><meta charset="utf-8"></head><body>` +
    `<script type="${type}" src="./${script}"></script></body></html>`);
}

test("esbuild: the bundle, with the package's files copied beside it", { skip }, async () => {
  const dist = join(here, "dist-esbuild");
  rmSync(dist, { recursive: true, force: true });
  await build("esbuild", "app.js", "--bundle", "--format=esm", `--outdir=${dist}`);
  for (const name of ["hyph.wasm", "languages"]) {
    cpSync(join(here, "node_modules", "hyph", name), join(dist, name), { recursive: true });
  }
  page(dist, "app.js");
  assert.equal(await resultOf(dist), expected);
});

test("Vite: vite build, nothing more", { skip }, async () => {
  const dist = join(here, "dist-vite");
  rmSync(dist, { recursive: true, force: true });
  await build("vite", "build", "--outDir", dist, "--logLevel", "error");
  assert.equal(await resultOf(dist), expected);
});

test("webpack: webpack, nothing more", { skip }, async () => {
  const dist = join(here, "dist-webpack");
  rmSync(dist, { recursive: true, force: true });
  await build("webpack", "--entry", "./app.js", "--output-path", dist, "--mode", "production");
  page(dist, "main.js", "text/javascript");
  assert.equal(await resultOf(dist), expected);
});

test("a plain <script> tag: the global hyph, its files beside it", { skip }, async () => {
  const root = join(here, "node_modules", "hyph");
  writeFileSync(join(here, "script-tag.html"),
    `<!DOCTYPE html><html><head><meta charset="utf-8"></head><body>
<script src="node_modules/hyph/hyph.global.js"></script>
<script>
  Promise.all([hyph.loadLanguage("de"), hyph.loadLanguage("fr")]).then(() => [
    hyph.hyphenateText("Silbentrennung", { lang: "de", separator: "-" }),
    hyph.hyphenateText("anticonstitutionnellement", { lang: "fr", separator: "-" }),
  ].join(" "), (error) => "error: " + error.message)
    .then((result) => fetch("/result", { method: "POST", body: result }));
</script></body></html>`);
  assert.ok(existsSync(join(root, "hyph.global.js")));
  assert.equal(await resultOf(here, "script-tag.html"), expected);
});

test("a Node bundle without the files says what is missing", { skip }, async () => {
  const dist = join(here, "dist-node");
  rmSync(dist, { recursive: true, force: true });
  await build("esbuild", "node-app.mjs", "--bundle", "--platform=node", "--format=esm",
              `--outfile=${join(dist, "app.mjs")}`);
  const failed = await run(process.execPath, [join(dist, "app.mjs")]).then(() => null, (e) => e);
  assert.ok(failed, "the bundle ran without its files");
  assert.match(failed.stderr, /cannot read .*hyph\.wasm \(ENOENT\): hyph\.wasm and languages\/ must be beside/);
  for (const name of ["hyph.wasm", "languages"]) {
    cpSync(join(here, "node_modules", "hyph", name), join(dist, name), { recursive: true });
  }
  const { stdout } = await run(process.execPath, [join(dist, "app.mjs")]);
  assert.equal(stdout.trim(), "Sil-ben-tren-nung");
});
