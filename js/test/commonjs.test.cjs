// The CommonJS entry: the same interface through require.
const assert = require("node:assert/strict");
const { test } = require("node:test");

const hyph = require("hyph");

test("require gives the same interface", async () => {
  await hyph.loadLanguage("fr");
  assert.deepEqual(hyph.hyphenate("anticonstitutionnellement", "fr"),
                   ["an", "ti", "cons", "ti", "tu", "tion", "nel", "le", "ment"]);
  assert.equal(hyph.hyphenateText("anticonstitutionnellement", { lang: "fr", separator: "-" }),
               "an-ti-cons-ti-tu-tion-nel-le-ment");
  assert.equal(hyph.languages().length, 73);
  assert.equal(typeof hyph.hyphenateElement, "function");
});
