// Assembles the npm package: index.js (ES module) and index.cjs (CommonJS)
// from lib/hyph.js with the list of languages filled in, the TypeScript
// declarations, package.json with the version of VERSION, the README, the
// example page, hyph.wasm and hyph-dictionaries.wasm, and for each language
// its tables (packed and gzipped for browsers, compiled for Node) and its
// licence.
//
//   node js/tools/make_package.mjs OUT_DIR HYPH_WASM DICTIONARIES_WASM HOST_TOOLS
//
// HOST_TOOLS is a native build of hyph (build/release): its
// hyph_compile_tables --blobs writes each language's tables, and its command's
// --list and --license give the languages' names, minimums and licences.
import { execFileSync } from "node:child_process";
import { copyFileSync, mkdirSync, readFileSync, rmSync, writeFileSync } from "node:fs";
import { dirname, join } from "node:path";
import { fileURLToPath } from "node:url";
import { gunzipSync } from "node:zlib";

const [out, wasm, dictionariesWasm, tools] = process.argv.slice(2);
if (!tools) {
  console.error("usage: make_package.mjs OUT_DIR HYPH_WASM DICTIONARIES_WASM HOST_TOOLS");
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
  /\/\/ The package build makes from it one entry[^]*?\/\/ and hyph\.global\.js for a plain <script> tag \(the global `hyph`\)\.\n/,
  "// Made by the package build from lib/hyph.js; do not edit.\n");

// Browsers and bundlers: each file in the form that Vite, webpack and
// Rollup follow and emit as an asset, nothing of Node's.
// (Not the licences, which a page seldom asks for: languageLicense finds
// them beside the module, or under setDataUrl's folder.)
const files = ["hyph.wasm", "hyph-dictionaries.wasm", ...languages.map(([, affix]) => `languages/${affix}.tables`)];
const assets = "{\n" + files.map((name) =>
  `  ${JSON.stringify(name)}: () => new URL(${JSON.stringify("./" + name)}, import.meta.url),`).join("\n") + "\n}";
// The language whose tables a page reads while its first language's file
// is on its way: one of the smallest (728 bytes; MIT), and a word of it.
const warmUp = JSON.stringify(["pa", gunzipSync(readFileSync(join(tables, "pa.tables"))).toString("base64"),
                               "\u0a2a\u0a70\u0a1c\u0a3e\u0a2c\u0a40"]);
/** `text` for a browser: nothing of Node's, its files named by `assets`. */
const forBrowsers = (text, assets) =>
  fill(fill(fill(fill(fill(text, "/* node imports */\n", ""), "/* assets */ null", assets),
    "/* read file */ null", "null"), "/* gunzip */ null", "null"), "/* warm up */ null", warmUp);
writeFileSync(join(out, "index.js"), forBrowsers(source, assets));

// Node: the files read from the disk, beside the module unless said.
const readFile = `(url) => {
  // Read at once: a language's file is at most a megabyte, and waiting for
  // a thread of the pool takes longer than reading it.
  let fd;
  try {
    fd = openSync(url, "r");
  } catch (error) {
    throw failure(\`cannot read \${url.pathname} (\${error.code ?? error.message}): hyph.wasm and \` +
                  "languages/ must be beside hyph's module (a bundle for Node: copy them beside it, or " +
                  "call setDataUrl with their folder)");
  }
  try {
    const size = fstatSync(fd).size;
    const bytes = new Uint8Array(size);
    for (let at = 0; at < size;) {
      const got = readSync(fd, bytes, at, size - at, at);
      if (got === 0) throw failure(\`\${url}: shorter than it was\`);
      at += got;
    }
    return bytes;
  } finally {
    closeSync(fd);
  }
}`;
// Node's own modules by process.getBuiltinModule where there is one (Node
// 20.16 and 22.3 on): importing node:fs as an ES module takes 1.5 ms more.
const nodeImports = "const { closeSync, fstatSync, openSync, readSync } =\n" +
  '  globalThis.process.getBuiltinModule?.("node:fs") ?? (await import("node:fs"));';
let node = fill(source, "/* node imports */", nodeImports);
node = fill(node, "/* assets */ null", "null");
node = fill(node, "/* read file */ null", readFile);
// zlib only when a packed file is given: loading it takes as long as a
// language (Node reads the compiled files, which are not gzipped).
node = fill(node, "/* gunzip */ null",
  "async (bytes) => new Uint8Array((globalThis.process.getBuiltinModule?.(\"node:zlib\") ??\n" +
  '  (await import("node:zlib"))).gunzipSync(bytes))');
node = fill(node, "/* compile at once */ false", "true");
node = fill(node, '/* tables */ ".tables"', '".compiled"');
const digests = Object.fromEntries(readFileSync(join(tables, "digests.txt"), "utf8").trim().split("\n")
  .map((line) => line.split(" ")));
if (Object.keys(digests).length !== languages.length) throw new Error("digests.txt lacks languages");
node = fill(node, "/* digests */ null", JSON.stringify(digests));
writeFileSync(join(out, "node.js"), node);

/** `text` without its ES module syntax: its exports' names, and the rest. */
function unexported(text) {
  const names = [...text.matchAll(/^export (?:async )?(?:function|const) (\w+)/gm)].map((m) => m[1]);
  return [names, text.replace(/^export (async function|function|const) /gm, "$1 ")];
}

// CommonJS: the Node entry, with require's way of knowing where it is, of
// importing and of exporting.
let [exported, common] = unexported(node);
common = fill(common, nodeImports,
  'const { closeSync, fstatSync, openSync, readSync } = require("node:fs");');
common = fill(common, "const moduleUrl = import.meta.url;",
  'const moduleUrl = require("node:url").pathToFileURL(__filename).href;');
if (/\bexport\b|import\.meta|^import /m.test(common.replace(/\/\/.*$/gm, ""))) {
  throw new Error("lib/hyph.js has an export that the CommonJS entry cannot take");
}
common = '"use strict";\n' + common + `\nmodule.exports = { ${exported.join(", ")} };\n`;
writeFileSync(join(out, "index.cjs"), common);

// A plain <script src=".../hyph.global.js">: the global `hyph`, its files
// beside the script.
let [globalNames, global] = unexported(forBrowsers(source, "null"));
global = fill(global, "const moduleUrl = import.meta.url;",
  'const moduleUrl = globalThis.document?.currentScript?.src ?? "";');
if (/\bexport\b|import\.meta/.test(global.replace(/\/\/.*$/gm, ""))) {
  throw new Error("lib/hyph.js has an export that the script entry cannot take");
}
writeFileSync(join(out, "hyph.global.js"),
  `var hyph = (function () {\n"use strict";\n${global}\nreturn { ${globalNames.join(", ")} };\n})();\n`);

copyFileSync(join(js, "lib", "index.d.ts"), join(out, "index.d.ts"));
copyFileSync(join(js, "lib", "index.d.ts"), join(out, "index.d.cts"));
copyFileSync(join(js, "README.md"), join(out, "README.md"));
mkdirSync(join(out, "examples"));
copyFileSync(join(js, "examples", "index.html"), join(out, "examples", "index.html"));
copyFileSync(join(js, "..", "LICENSE"), join(out, "LICENSE"));
copyFileSync(wasm, join(out, "hyph.wasm"));
copyFileSync(dictionariesWasm, join(out, "hyph-dictionaries.wasm"));
for (const [, affix] of languages) {
  for (const kind of ["tables", "compiled"])
    copyFileSync(join(tables, `${affix}.${kind}`), join(out, "languages", `${affix}.${kind}`));
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
      browser: { types: "./index.d.ts", default: "./index.js" },
      node: {
        import: { types: "./index.d.ts", default: "./node.js" },
        require: { types: "./index.d.cts", default: "./index.cjs" },
      },
      default: { types: "./index.d.ts", default: "./index.js" },
    },
    "./global": "./hyph.global.js",
    "./hyph.global.js": "./hyph.global.js",
    "./hyph.wasm": "./hyph.wasm",
    "./hyph-dictionaries.wasm": "./hyph-dictionaries.wasm",
    "./languages/*": "./languages/*",
    "./package.json": "./package.json",
  },
  files: ["index.js", "node.js", "hyph.global.js", "index.cjs", "index.d.ts", "index.d.cts", "hyph.wasm",
          "hyph-dictionaries.wasm", "languages/", "examples/", "README.md", "LICENSE"],
  engines: { node: ">=18" },
  sideEffects: false,
};
writeFileSync(join(out, "package.json"), JSON.stringify(manifest, null, 2) + "\n");
console.log(`make_package: hyph ${version}, ${languages.length} languages, in ${out}`);
