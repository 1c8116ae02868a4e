// Every language gives the breaks of the native library: the hyph command
// (HYPH_CLI) on words made of each language's patterns and exception words
// (from the data files under HYPH_ROOT), as running text and word by word.
import assert from "node:assert/strict";
import { execFileSync } from "node:child_process";
import { readFileSync } from "node:fs";
import { join } from "node:path";
import { test } from "node:test";
import { gunzipSync } from "node:zlib";

import { hyphenate, hyphenateText, languages, loadLanguage } from "hyph";

const cli = process.env.HYPH_CLI;
const root = process.env.HYPH_ROOT;

/** Words made of a language's patterns and exceptions, and its letters. */
function wordsOf(affix) {
  const read = (kind) => gunzipSync(readFileSync(join(root, "data", `hyph-${affix}.${kind}.txt.gz`))).toString("utf8");
  const patterns = read("pat").split(/\s+/).map((p) => p.replace(/[0-9.]/g, ""));
  const exceptions = read("hyp").split(/\s+/).map((w) => w.replaceAll("-", ""));
  const letters = new Set([...patterns.join("")]);
  const words = [...patterns.filter((_, i) => i % 5 === 0), ...exceptions].filter((w) => w.length > 0);
  return { words, letters };
}

test("every language breaks as the native library does", { skip: !cli || !root }, async () => {
  // All at once, each twice, as a page that meets them together loads them:
  // the same as one after the other.
  const all = languages().map(({ affix }) => affix);
  await Promise.all([...all, ...all.map((affix) => affix.toUpperCase())].map((tag) => loadLanguage(tag)));
  let count = 0;
  for (const affix of all) {
    const { words, letters } = wordsOf(affix);
    const text = words.join("\n") + "\n";
    const expected = execFileSync(cli, ["-l", affix, "-s", "="], { input: text, encoding: "utf8" });
    assert.equal(hyphenateText(text, { lang: affix, separator: "=" }), expected, affix);
    const lines = expected.split("\n");
    // A word of the language's letters only is one word of the text too.
    words.forEach((word, i) => {
      if ([...word].every((c) => letters.has(c)) && /^[\p{L}\p{M}]+$/u.test(word)) {
        assert.equal(hyphenate(word, affix).join("="), lines[i], `${affix}: ${word}`);
      }
    });
    count += words.length;
  }
  assert.ok(count > 30000, `only ${count} words`);
});
