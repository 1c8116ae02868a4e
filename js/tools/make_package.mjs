// Assembles the npm package: index.js (ES module) and index.cjs (CommonJS)
// from lib/hyph.js with the list of languages filled in, the TypeScript
// declarations, package.json with the version of VERSION, the README, the
// example page, hyph.wasm, and for each language its compiled tables and
// its licence.
//
//   node js/tools/make_package.mjs OUT_DIR HYPH_WASM HOST_TOOLS
//
// HOST_TOOLS is a native build of hyph (build/release): its
// hyph_compile_tables --blobs writes each language's tables, and its command's
// --list and --license give the languages' names, minimums and licences.
import { execFileSync } from "node:child_process";
import { copyFileSync, mkdirSync, readFileSync, rmSync, writeFileSync } from "node:fs";
import { dirname, join } from "node:path";
import { fileURLToPath } from "node:url";

const [out, wasm, tools] = process.argv.slice(2);
if (!tools) {
  console.error("usage: make_package.mjs OUT_DIR HYPH_WASM HOST_TOOLS");
  process.exit(2);
}
const js = join(dirname(fileURLToPath(import.meta.url)), "..");
const command = join(tools, "cli", "hyph");
const version = readFileSync(join(js, "..", "VERSION"), "utf8").trim();

const languages = execFileSync(command, ["--list"], { encoding: "utf8" })
  .trim()
  .split("\n")
  .map((line) => {
    const [name, affix, left, right, ...license] = line.trim().split(/\s+/);
    return [name, affix, Number(left), Number(right), license.join(" ")];
  });
if (languages.length !== 73) throw new Error(`hyph --list gave ${languages.length} languages, not 73`);

rmSync(out, { recursive: true, force: true });
mkdirSync(join(out, "languages"), { recursive: true });
const tables = join(out, "..", "tables");
mkdirSync(tables, { recursive: true });
execFileSync(join(tools, "hyph_compile_tables"),
             ["--blobs", tables, join(js, "..", "data"), tables, ...languages.map((l) => l[1])]);

let source = readFileSync(join(js, "lib", "hyph.js"), "utf8");
const fill = (text, marker, value) => {
  if (!text.includes(marker)) throw new Error(`lib/hyph.js has no ${marker}`);
  return text.replace(marker, value);
};
source = fill(source, "/* languages */ []", JSON.stringify(languages));
source = fill(source, '/* version */ ""', JSON.stringify(version));
source = source.replace(
  "// The package build makes index.js (this file, an ES module) and index.cjs\n" +
    "// (the same for require) from it, filling in the list of languages.\n",
  "// Made by the package build from lib/hyph.js; do not edit.\n");
writeFileSync(join(out, "index.js"), source);

// CommonJS: the same code, with require's way of knowing where it is and of
// exporting.
const exported = [...source.matchAll(/^export (?:async )?(?:function|const) (\w+)/gm)].map((m) => m[1]);
let common = source.replace(/^export (async function|function|const) /gm, "$1 ");
common = fill(common, "const moduleUrl = import.meta.url;",
  'const moduleUrl = require("node:url").pathToFileURL(__filename).href;');
if (/\bexport\b|import\.meta/.test(common.replace(/\/\/.*$/gm, ""))) {
  throw new Error("lib/hyph.js has an export that the CommonJS entry cannot take");
}
common = '"use strict";\n' + common + `\nmodule.exports = { ${exported.join(", ")} };\n`;
writeFileSync(join(out, "index.cjs"), common);

copyFileSync(join(js, "lib", "index.d.ts"), join(out, "index.d.ts"));
copyFileSync(join(js, "lib", "index.d.ts"), join(out, "index.d.cts"));
copyFileSync(join(js, "README.md"), join(out, "README.md"));
mkdirSync(join(out, "examples"));
copyFileSync(join(js, "examples", "index.html"), join(out, "examples", "index.html"));
copyFileSync(join(js, "..", "LICENSE"), join(out, "LICENSE"));
copyFileSync(wasm, join(out, "hyph.wasm"));
for (const [, affix] of languages) {
  copyFileSync(join(tables, `${affix}.tables`), join(out, "languages", `${affix}.tables`));
  writeFileSync(join(out, "languages", `${affix}.license.txt`),
                execFileSync(command, ["--license", affix]));
}

const manifest = {
  name: "hyph",
  version,
  description: "Hyphenation of words, text and HTML with the TeX patterns of 73 languages (WebAssembly)",
  keywords: ["hyphenation", "hyphen", "tex", "patterns", "soft hyphen", "wasm"],
  license: "MIT AND SEE LICENSE IN languages/*.license.txt",
  type: "module",
  main: "./index.cjs",
  module: "./index.js",
  types: "./index.d.ts",
  exports: {
    ".": {
      import: { types: "./index.d.ts", default: "./index.js" },
      require: { types: "./index.d.cts", default: "./index.cjs" },
    },
    "./hyph.wasm": "./hyph.wasm",
    "./languages/*": "./languages/*",
    "./package.json": "./package.json",
  },
  files: ["index.js", "index.cjs", "index.d.ts", "index.d.cts", "hyph.wasm", "languages/", "examples/",
          "README.md", "LICENSE"],
  engines: { node: ">=18" },
  sideEffects: false,
};
writeFileSync(join(out, "package.json"), JSON.stringify(manifest, null, 2) + "\n");
console.log(`make_package: hyph ${version}, ${languages.length} languages, in ${out}`);
