// The package's interface, used as a program that installed it uses it.
import assert from "node:assert/strict";
import { cpSync, mkdtempSync, readFileSync, rmSync, truncateSync } from "node:fs";
import { createRequire } from "node:module";
import { tmpdir } from "node:os";
import { dirname, join } from "node:path";
import { test } from "node:test";
import { pathToFileURL } from "node:url";

import * as hyph from "hyph";

test("languages are loaded on demand, once, by any name hyph takes", async () => {
  assert.equal(hyph.isLoaded("de"), false);
  assert.throws(() => hyph.hyphenate("Silbentrennung", "de"),
                { message: "hyph is not loaded yet: await loadLanguage(tag) (or init()) first" });
  await hyph.init();
  assert.throws(() => hyph.hyphenate("Silbentrennung", "de"),
                { message: 'German_1996 is not loaded: await loadLanguage("de") first' });
  const [a, b] = await Promise.all([hyph.loadLanguage("de"), hyph.loadLanguage("de-DE")]);
  assert.deepEqual(a, { name: "German_1996", affix: "de-1996", leftMin: 2, rightMin: 2, license: "MIT" });
  assert.deepEqual(a, b);
  assert.equal(hyph.isLoaded("German_1996"), true);
  assert.equal(hyph.isLoaded("fr"), false); // only what was asked for
  for (const tag of ["en-GB", "pt-BR", "en_US"]) await hyph.loadLanguage(tag);
  assert.deepEqual(hyph.hyphenate("computador", "pt-BR"), ["com", "pu", "ta", "dor"]);
});

test("words: the pieces, in UTF-16 offsets whatever the code points", async () => {
  await hyph.loadLanguage("en-us");
  assert.deepEqual(hyph.hyphenate("hyphenation"), ["hy", "phen", "ation"]);
  assert.deepEqual(hyph.hyphenate("Hyphenation"), ["Hy", "phen", "ation"]);
  assert.deepEqual(hyph.hyphenate(""), [""]);
  assert.deepEqual(hyph.hyphenate("cat"), ["cat"]);
  const astral = "\u{1D4BD}yphenation";
  assert.equal(hyph.hyphenate(astral).join(""), astral);
  await hyph.loadLanguage("de");
  assert.deepEqual(hyph.hyphenate("Straßenbahn", "de"), ["Stra", "ßen", "bahn"]);
  assert.throws(() => hyph.hyphenate(42), TypeError);
});

test("running text and HTML, by the library's rules", async () => {
  await hyph.loadLanguage("en-us");
  await hyph.loadLanguage("de");
  assert.equal(hyph.hyphenateText("Hyphenation, at last!"), "Hy\u00ADphen\u00ADation, at last!");
  assert.equal(hyph.hyphenateText("Silbentrennung", { lang: "de", separator: "-" }), "Sil-ben-tren-nung");
  // URLs, e-mail addresses and words with a soft hyphen stay whole.
  assert.equal(hyph.hyphenateText("see https://example.org/documentation or documentation@example.org", { separator: "-" }),
               "see https://example.org/documentation or documentation@example.org");
  assert.equal(hyph.hyphenateText("hy\u00ADphenation documentation", { separator: "-" }),
               "hy\u00ADphenation doc-u-men-ta-tion");
  // HTML: markup, references, pre and code, lang attributes; a language not
  // loaded is left as it is.
  const page = '<p title="hyphenation">Stra&szlig;enbahn <b lang="de">Silbentrennung</b> ' +
               '<code>hyphenation</code> <span lang="fr">anticonstitutionnellement</span></p>';
  assert.equal(hyph.hyphenateText(page, { html: true, lang: "de", separator: "|" }),
               '<p title="hyphenation">Stra|&szlig;en|bahn <b lang="de">Sil|ben|tren|nung</b> ' +
               '<code>hyphenation</code> <span lang="fr">anticonstitutionnellement</span></p>');
  const english = '<p lang="en">hyphenation</p>';
  assert.equal(hyph.hyphenateText(english, { html: true, lang: "de", separator: "-" }),
               '<p lang="en">hy-phen-ation</p>');
  assert.equal(hyph.hyphenateText(english, { html: true, lang: "de", followLang: false, separator: "-" }),
               '<p lang="en">hy-phena-ti-on</p>');
  assert.equal(hyph.hyphenateText("NASA table tables", { separator: "-", skipCapitals: true, minWordLength: 6 }),
               "NASA table ta-bles");
  const line = "Backslash-Zeichen LC_CTYPE";
  assert.equal(hyph.hyphenateText(line, { lang: "de", separator: "-" }), "Back-slash-Zei-chen LC_CTY-PE");
  assert.equal(hyph.hyphenateText(line, { lang: "de", separator: "-", compounds: "hyphen", skipCode: true }),
               line);
  assert.throws(() => hyph.hyphenateText(line, { compounds: "some" }), TypeError);
  // What the separators removed gives back.
  const require = createRequire(import.meta.url);
  const text = readFileSync(join(dirname(require.resolve("hyph/package.json")), "README.md"), "utf8");
  assert.equal(hyph.hyphenateText(text).replaceAll("\u00AD", ""), text);
  assert.throws(() => hyph.hyphenateText(null), TypeError);
});

test("words of the page's own over a language's exceptions", async () => {
  await hyph.loadLanguage("en-us");
  assert.deepEqual(hyph.hyphenate("associate"), ["as", "so", "ciate"]);
  hyph.setExceptions("en-us", ["asso-ciate", "ACME-corp"]);
  assert.deepEqual(hyph.hyphenate("associate"), ["asso", "ciate"]);
  assert.equal(hyph.hyphenateText("an ACMEcorp associate table", { separator: "-" }),
               "an ACME-corp asso-ciate ta-ble");
  assert.throws(() => hyph.setExceptions("en-us", ["bad1"]), { message: "words:1: a digit in the exception word 'bad1'" });
  hyph.setExceptions("en-us", []);
  assert.deepEqual(hyph.hyphenate("associate"), ["as", "so", "ciate"]);
});

test("errors are Errors with the library's messages", async () => {
  await assert.rejects(hyph.loadLanguage("germn"),
                       { message: "unknown language 'germn'; did you mean German_1996, German_1901, German_Swiss?" });
  await assert.rejects(hyph.loadLanguage("xx"), { message: "unknown language 'xx'" });
  assert.throws(() => hyph.hyphenateText("x", { lang: "klingon" }), Error);
  await assert.rejects(hyph.loadLanguage("fr", { tables: new Uint8Array(64) }),
                       (e) => e instanceof Error && e.message.startsWith("Damaged hyphenation tables"));
  assert.equal(hyph.isLoaded("fr"), false);
  // The module loaded here has no dictionary reader.
  await assert.rejects(hyph.loadDictionary("hu", new TextEncoder().encode("UTF-8\n1a\n")),
                       { message: "this hyph module reads no dictionary: call init({ dictionaries: true }) " +
                                  "before anything else loads hyph" });
});

test("tables given as bytes, as a bundler would give them", async () => {
  const require = createRequire(import.meta.url);
  // Packed and gzipped, as a page fetches them; compiled, as Node reads them.
  for (const kind of ["tables", "compiled"]) {
    const file = require.resolve(`hyph/languages/nl.${kind}`);
    await hyph.loadLanguage("nl", { tables: readFileSync(file) });
    assert.deepEqual(hyph.hyphenate("lettergrepen", "nl"), ["let", "ter", "gre", "pen"]);
  }
  // Damaged: refused with a reason, and the language stays as it was.
  const packed = new Uint8Array(readFileSync(require.resolve("hyph/languages/cs.tables")));
  await assert.rejects(hyph.loadLanguage("cs", { tables: packed.subarray(0, 100) }),
                       /^Error: Damaged hyphenation tables: cannot unzip them/);
  await assert.rejects(hyph.loadLanguage("cs", { tables: new Uint8Array(64) }),
                       /^Error: Damaged hyphenation tables: /);
  // Tables that need two words a slot, which no language does: this module
  // leaves that code out, and says so.
  const wide = new Uint8Array(readFileSync(require.resolve("hyph/languages/cs.compiled")));
  wide[8] |= 1; // the flags' word
  await assert.rejects(hyph.loadLanguage("cs", { tables: wide }),
                       { message: "hyphenation tables too large for one word a slot, which this build of " +
                                  "hyph (HYPH_WIDE_SLOTS=OFF) does not read" });
  assert.throws(() => hyph.hyphenate("slabika", "cs"), /Czech is not loaded/);
});

test("every language is listed, with its licence", async () => {
  const all = hyph.languages();
  assert.equal(all.length, 73);
  assert.deepEqual(all.find((l) => l.affix === "cs"),
                   { name: "Czech", affix: "cs", leftMin: 2, rightMin: 3, license: "GPL-2+" });
  assert.ok(all.every((l) => l.license.length > 0));
  assert.match(await hyph.languageLicense("de"), /MIT/);
  assert.match(hyph.version, /^\d+\.\d+\.\d+$/);
});

test("the package's own files are used as the build wrote them, and checked when they are not", async () => {
  // A copy of the package, one of whose files lost its last bytes: its
  // digest no longer matches, so it is checked, and refused.
  const require = createRequire(import.meta.url);
  const copy = mkdtempSync(join(tmpdir(), "hyph-package-"));
  try {
    cpSync(dirname(require.resolve("hyph/package.json")), copy, { recursive: true });
    const file = join(copy, "languages", "fr.compiled");
    truncateSync(file, readFileSync(file).length - 8);
    const other = await import(pathToFileURL(join(copy, "node.js")).href);
    await other.loadLanguage("en-us");
    assert.deepEqual(other.hyphenate("hyphenation"), ["hy", "phen", "ation"]);
    await assert.rejects(other.loadLanguage("fr"), /^Error: Damaged hyphenation tables: /);
  } finally {
    rmSync(copy, { recursive: true, force: true });
  }
});
