// libhyphen dictionaries loaded as languages, in a process of their own: the
// first call here is loadDictionary, which loads the module that reads them.
// The expected breaks are libhyphen 2.8.8's, as the native library's tests
// have them.
import assert from "node:assert/strict";
import { execFileSync } from "node:child_process";
import { existsSync } from "node:fs";
import { test } from "node:test";
import { gzipSync } from "node:zlib";

import * as hyph from "hyph";

// Non-standard rules: Hungarian "nny" breaks as "ny-ny", Catalan "l·l" as "l-l".
const REWRITING = "UTF-8\nLEFTHYPHENMIN 2\nRIGHTHYPHENMIN 2\nas5szon2y/sz=,2,1\no1n\nn5nyal/ny=ny,1,3\n" +
  "d7dzs2é./dzs=dzs,1,4\nl·9l/=,2,1\nŀ9l/l=,1,1\n1ve\n";

// Two levels, in Latin-1: compounds at "haus", then their parts.
const TWO_LEVELS = Buffer.from(
  "ISO8859-1\nLEFTHYPHENMIN 2\nRIGHTHYPHENMIN 2\nCOMPOUNDLEFTHYPHENMIN 3\nCOMPOUNDRIGHTHYPHENMIN 3\n" +
  "NOHYPHEN -\nhaus1\n1-1\nNEXTLEVEL\n1ba\n1na\nan1\nu1s\n1t\n", "latin1");

test("a dictionary loads as a language, its breaks spelt as written", async () => {
  const hu = await hyph.loadDictionary("hu", new TextEncoder().encode(REWRITING));
  assert.deepEqual(hu, { name: "hu", affix: "", leftMin: 2, rightMin: 2, license: "" });
  assert.equal(hyph.isLoaded("hu"), true);
  assert.equal(hyph.isLoaded("HU"), true);
  assert.deepEqual(hyph.hyphenate("asszonnyal", "hu"), ["asszony", "nyal"]);
  assert.deepEqual(hyph.hyphenate("ASSZONNYAL", "hu"), ["ASSZONY", "NYAL"]);
  assert.deepEqual(hyph.hyphenate("col·lecció", "hu"), ["col", "lecció"]);
  assert.deepEqual(hyph.hyphenate("", "hu"), [""]);
  // A visible separator spells the break; a soft hyphen cannot, and is left out.
  assert.equal(hyph.hyphenateText("Az asszonnyal, a col·lecció.", { lang: "hu", separator: "-" }),
               "Az asszony-nyal, a col-lecció.");
  assert.equal(hyph.hyphenateText("asszonnyal", { lang: "hu" }), "asszonnyal");
  // In HTML, text marked as the language its name names uses it too, and
  // other languages their own; loadLanguage under that name gives it.
  await hyph.loadLanguage("en-us");
  assert.equal(hyph.hyphenateText('<p>asszonnyal <i lang="en">hyphenation</i> <b lang="hu">asszonnyal</b></p>',
                                   { html: true, lang: "hu", separator: "-" }),
               '<p>asszony-nyal <i lang="en">hy-phen-ation</i> <b lang="hu">asszony-nyal</b></p>');
  assert.deepEqual(await hyph.loadLanguage("hu"), hu);
  // Words of the page's own over it.
  hyph.setExceptions("hu", ["assz-onnyal"]);
  assert.deepEqual(hyph.hyphenate("asszonnyal", "hu"), ["assz", "onnyal"]);
  hyph.setExceptions("hu", []);
  assert.deepEqual(hyph.hyphenate("asszonnyal", "hu"), ["asszony", "nyal"]);
});

test("two levels, eight-bit charsets and gzip, under a name of the page's own", async () => {
  await hyph.loadDictionary("my-compounds", gzipSync(TWO_LEVELS));
  const broken = (word) => hyph.hyphenate(word, "my-compounds").join("=");
  assert.equal(broken("bananahausbanana"), "ba=n=a=n=ahaus=ban=a=na");
  assert.equal(broken("baushaustür"), "bau=shaus=tür");
  assert.equal(broken("banana-banana"), "ba=n=ana-ban=a=na");
  assert.equal(hyph.hyphenateText("Das Haustür.", { lang: "my-compounds", separator: "-" }), "Das Haus-tür.");
  // Loading a name again replaces what it means.
  await hyph.loadDictionary("my-compounds", new TextEncoder().encode("UTF-8\n1t\n"));
  assert.equal(broken("haustür"), "haus=tür");
  assert.equal(broken("bananahaus"), "bananahaus");
});

test("a dictionary that cannot be read says where", async () => {
  await assert.rejects(hyph.loadDictionary("bad", new TextEncoder().encode("UTF-8\n1a\na1b/a=b\n")),
                       { message: /^bad:3: / });
  await assert.rejects(hyph.loadDictionary("bad", new TextEncoder().encode("NOT-A-CHARSET\n1a\n")),
                       { message: /^bad:1: / });
  await assert.rejects(hyph.loadDictionary("", new Uint8Array()), TypeError);
  assert.equal(hyph.isLoaded("bad"), false);
});

// Debian's Hungarian dictionary, where installed: the module breaks as the
// native command does, non-standard breaks included.
const HUNGARIAN = "/usr/share/hyphen/hyph_hu_HU.dic";
test("Debian's Hungarian dictionary breaks as the command does", {
  skip: !(existsSync(HUNGARIAN) && process.env.HYPH_CLI) && "needs hyphen-hu and HYPH_CLI",
}, async () => {
  await hyph.loadDictionary("hu-debian", new URL(`file://${HUNGARIAN}`));
  const words = ["asszonnyal", "hozzáadása", "felhasználó", "megszentségteleníthetetlenségeskedéseitekért",
                 "briddzsel", "Kossuth", "otthonról", "együttműködés", "számítógép", "hallgatóság"];
  const expected = execFileSync(process.env.HYPH_CLI, [`--dictionary=${HUNGARIAN}`, "--separator=="],
                                { input: words.join("\n") + "\n", encoding: "utf8" }).trim().split("\n");
  assert.deepEqual(words.map((word) => hyph.hyphenateText(word, { lang: "hu-debian", separator: "=" })),
                   expected);
  assert.equal(hyph.hyphenateText("asszonnyal", { lang: "hu-debian", separator: "-" }), "asz-szony-nyal");
});
