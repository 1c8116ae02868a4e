// The example page in a real browser: Debian's chromium, headless, loads it
// from a static server of the test's own that serves the installed package,
// where the page is examples/index.html, and the test reads the DOM that
// the page's script left, which a script the test adds posts back to it:
// soft hyphens in each paragraph's language, nothing in pre, code,
// translate="no" or class no-hyphens, and a second run that changed nothing.
// Skipped where there is no chromium (CHROMIUM names one).
import assert from "node:assert/strict";
import { readFileSync } from "node:fs";
import { createRequire } from "node:module";
import { dirname, join } from "node:path";
import { test } from "node:test";

import { hasChromium, reportOf } from "./chromium.mjs";

const pkg = dirname(createRequire(import.meta.url).resolve("hyph/package.json"));

test("the example page in headless Chromium", { skip: !hasChromium }, async () => {
  // The example as it is, with a script after it that posts the page once
  // its own script has said how the second run went.
  const example = readFileSync(join(pkg, "examples", "index.html"), "utf8").replace("</body>",
    `<script>
      const poll = setInterval(() => {
        if (!document.body.dataset.secondRun) return;
        clearInterval(poll);
        fetch("/result", { method: "POST", body: document.documentElement.outerHTML });
      }, 50);
    </script></body>`);
  {
    const dom = (await reportOf(pkg, "/examples/index.html", { "/examples/index.html": example }))
      .replaceAll("&shy;", "\u00AD");
    assert.match(dom, /data-second-run="unchanged"/, "a second run changed the page, or the script did not run");
    const shy = "\u00AD";
    assert.ok(dom.includes(`Sil${shy}ben${shy}tren${shy}nung`), "German text in German");
    assert.ok(dom.includes(`an${shy}ti${shy}cons${shy}ti${shy}tu${shy}tion${shy}nel${shy}le${shy}ment,`),
              "French text in French");
    assert.ok(dom.includes(`Hy${shy}phen${shy}ation breaks`), "English text in English");
    assert.ok(dom.includes("<code>Silbentrennungsprogramm</code>"), "code is left alone");
    assert.ok(dom.includes("https://beispiel.de/silbentrennung"), "URLs are left whole");
    assert.ok(dom.includes("garde ses mots entiers : anticonstitutionnellement."), "class no-hyphens");
    assert.ok(dom.includes("Hyphenation is left alone in this paragraph."), 'translate="no"');
    assert.ok(dom.includes("<pre>hyphenation in a pre element</pre>"), "pre is left alone");
  }
});

// What a page gets beyond hyphenateElement's defaults: orphan control, the
// callbacks and hiding, and observe() on text added later; the page posts
// what it saw to the test's server.
const featuresPage = `<!DOCTYPE html><html lang="en"><head><meta charset="utf-8"></head><body>
<main><p>Hyphenation keeps justified text even: documentation representation</p></main>
<script type="module">
  import { browserHyphenates, hyphenateElement, observe } from "/index.js";
  const main = document.querySelector("main");
  const seen = [];
  const changed = await hyphenateElement(main, {
    orphanControl: true, hide: true,
    onBefore: () => seen.push("before:" + main.style.visibility),
    onAfter: (element, n) => seen.push("after:" + n + ":" + main.style.visibility),
  });
  seen.push("visibility:" + main.style.visibility);
  // Left to the browser where it hyphenates the language itself, else done.
  const section = document.createElement("p");
  section.lang = "de";
  section.textContent = "Silbentrennung";
  document.body.append(section);
  await hyphenateElement(section, { leaveToBrowser: true });
  const native = browserHyphenates("de");
  const leftToBrowser = native ? section.style.hyphens === "auto" && section.textContent === "Silbentrennung"
                               : section.textContent.includes("\u00AD");
  const first = main.querySelector("p").textContent;
  const observer = observe(main);
  const p = document.createElement("p");
  p.textContent = "documentation";
  main.append(p);
  for (let i = 0; i < 100 && !p.textContent.includes("\\u00AD"); i++) {
    await new Promise((resolve) => setTimeout(resolve, 20));
  }
  observer.disconnect();
  await fetch("/result", { method: "POST", body: JSON.stringify({ changed, seen, first, added: p.textContent, native, leftToBrowser }) });
</script></body></html>`;

test("orphan control, callbacks, hiding and observe() in headless Chromium", { skip: !hasChromium }, async () => {
  {
    const result = JSON.parse(await reportOf(pkg, "/features.html", { "/features.html": featuresPage }));
    const shy = "\u00AD";
    assert.equal(result.changed, 1);
    assert.deepEqual(result.seen, ["before:hidden", "after:1:hidden", "visibility:"]);
    assert.equal(result.first,
                 `Hy${shy}phen${shy}ation keeps jus${shy}ti${shy}fied text even: doc${shy}u${shy}men${shy}ta${shy}tion\u00A0representation`);
    assert.equal(result.added, `doc${shy}u${shy}men${shy}ta${shy}tion`);
    assert.equal(typeof result.native, "boolean");
    assert.ok(result.leftToBrowser, `German left to a browser that hyphenates it (${result.native}), else done`);
  }
});

// Each language's text nodes go through the text layer in one call (but
// French here, one of whose nodes holds a paragraph separator): every node
// must come out as it would alone, whatever stands at its edges.
const nodesPage = `<!DOCTYPE html><html lang="en"><head><meta charset="utf-8"></head><body>
<main><p>documentation <b>representation</b> http://example.com/hyphenation</p>
<p lang="de">Silbentrennung <i>Donaudampfschiff</i>fahrt <b>-wholename</b> Silbentrennung</p>
<p>--in-place <span>hyphen\u00ADation</span> ENCYCLOPEDIA <em> representation </em>x</p>
<p lang="fr">anticonstitutionnellement <b>paragraphe \u2029</b> paragraphe</p></main>
<script type="module">
  import { hyphenate, hyphenateElement, hyphenateText, loadLanguage } from "/index.js";
  await Promise.all(["en-us", "de", "fr"].map((tag) => loadLanguage(tag)));
  // The tables read while the first file was on its way are no language's.
  let panjabi = "loaded";
  try { hyphenate("\u0a2a\u0a70\u0a1c\u0a3e\u0a2c\u0a40", "pa"); } catch (error) { panjabi = error.message; }
  const options = { minWordLength: 5, skipCapitals: true, skipCode: true, compounds: "hyphen" };
  const walker = document.createTreeWalker(document.querySelector("main"), NodeFilter.SHOW_TEXT);
  const nodes = [];
  for (let node = walker.nextNode(); node; node = walker.nextNode()) nodes.push(node);
  const expected = nodes.map((node) => hyphenateText(node.nodeValue, {
    ...options, separator: "\u00AD", lang: node.parentElement.closest("[lang]").lang }));
  await hyphenateElement(document.querySelector("main"), options);
  const wrong = nodes.map((node, i) => [node.nodeValue, expected[i]]).filter(([a, b]) => a !== b);
  await fetch("/result", { method: "POST", body: JSON.stringify({ nodes: nodes.length, wrong, panjabi }) });
</script></body></html>`;

test("hyphenateElement gives each text node what hyphenateText gives it alone, languages loaded at once", { skip: !hasChromium }, async () => {
  const result = JSON.parse(await reportOf(pkg, "/nodes.html", { "/nodes.html": nodesPage }));
  assert.ok(result.nodes >= 12, `${result.nodes} text nodes`);
  assert.deepEqual(result.wrong, []);
  assert.equal(result.panjabi, 'Panjabi is not loaded: await loadLanguage("pa") first');
});

// A dictionary fetched by the page and loaded as a language, which
// hyphenateElement then uses for text marked with its name; the module with
// the dictionaries' reader is fetched beside the package's other files.
const dictionaryPage = `<!DOCTYPE html><html lang="en"><head><meta charset="utf-8"></head><body>
<main><p lang="hu">Az asszonnyal beszélt.</p><p>hyphenation</p></main>
<script type="module">
  import { hyphenate, hyphenateElement, loadDictionary } from "/index.js";
  let result;
  try {
    await loadDictionary("hu", "/hyph_hu.dic");
    await hyphenateElement(document.querySelector("main"));
    result = { word: hyphenate("asszonnyal", "hu"), text: document.querySelector("main").textContent };
  } catch (error) {
    result = { error: String(error) };
  }
  await fetch("/result", { method: "POST", body: JSON.stringify(result) });
</script></body></html>`;

test("a dictionary loaded by a page in headless Chromium", { skip: !hasChromium }, async () => {
  const dictionary = "UTF-8\nLEFTHYPHENMIN 2\nRIGHTHYPHENMIN 2\nas5szon2y/sz=,2,1\no1n\nn5nyal/ny=ny,1,3\ne1sz\n";
  const result = JSON.parse(await reportOf(pkg, "/dictionary.html",
                                           { "/dictionary.html": dictionaryPage, "/hyph_hu.dic": dictionary }));
  assert.deepEqual(result, {
    word: ["asszony", "nyal"],
    // A soft hyphen cannot spell "asszony-nyal": that break is left out.
    text: "Az asszonnyal be\u00ADszélt.hy\u00ADphen\u00ADation",
  });
});

// A language's file as servers send it: gzipped as the package holds it
// (unzipped as it comes), already unzipped (a server that sent it with
// Content-Encoding: gzip), in chunks of a byte, cut short, or lost on the
// way. The page serves them itself, by the fetch the module calls.
const servedPage = `<!DOCTYPE html><html lang="en"><head><meta charset="utf-8"></head><body>
<script type="module">
  import { hyphenate, loadLanguage } from "/index.js";
  const file = async (affix) => new Uint8Array(await (await fetch("/languages/" + affix + ".tables")).arrayBuffer());
  const unzip = async (bytes) =>
    new Uint8Array(await new Response(new Blob([bytes]).stream().pipeThrough(new DecompressionStream("gzip"))).arrayBuffer());
  const byteAtATime = (bytes) => new ReadableStream({
    start(controller) {
      for (const byte of bytes) controller.enqueue(new Uint8Array([byte]));
      controller.close();
    },
  });
  const served = {
    "fr": await unzip(await file("fr")),
    "de-1996": byteAtATime(await file("de-1996")),
    "ru": byteAtATime(await unzip(await file("ru"))),
    "it": (await file("it")).subarray(0, 200),
    "pl": await (async () => {
      const head = (await file("pl")).subarray(0, 100);
      return new ReadableStream({
        start(controller) { controller.enqueue(head); },
        pull(controller) { controller.error(new Error("the connection was lost")); },
      });
    })(),
  };
  const fetchOfPage = globalThis.fetch;
  globalThis.fetch = (url, ...rest) => {
    const affix = /languages\\/([a-z0-9-]+)\\.tables$/.exec(String(url))?.[1];
    return affix in served ? Promise.resolve(new Response(served[affix])) : fetchOfPage(url, ...rest);
  };
  const result = {};
  for (const [affix, word] of [["fr", "anticonstitutionnellement"], ["de-1996", "Silbentrennung"],
                               ["ru", "\\u0433\\u0438\\u0434\\u0440\\u043e\\u0444\\u043e\\u0431\\u0438\\u044f"], ["it", "libro"],
                               ["pl", "kot"]]) {
    try {
      await loadLanguage(affix);
      result[affix] = hyphenate(word, affix).join("-");
    } catch (error) {
      result[affix] = error.message;
    }
  }
  await fetchOfPage("/result", { method: "POST", body: JSON.stringify(result) });
</script></body></html>`;

test("language files gzipped or not, in chunks of a byte, cut short or lost on the way, in headless Chromium", { skip: !hasChromium }, async () => {
  const result = JSON.parse(await reportOf(pkg, "/served.html", { "/served.html": servedPage }));
  assert.equal(result.fr, "an-ti-cons-ti-tu-tion-nel-le-ment");
  assert.equal(result["de-1996"], "Sil-ben-tren-nung");
  assert.equal(result.ru, "гид-ро-фо-бия");
  assert.match(result.it, /^Damaged hyphenation tables: cannot unzip them/);
  assert.match(result.pl, /^cannot fetch http:\/\/.*\/languages\/pl\.tables: the connection was lost$/);
});
