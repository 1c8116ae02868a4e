// The example page in a real browser: Debian's chromium, headless, loads it
// from a static server of the test's own that serves the installed package,
// where the page is examples/index.html, and the test reads the DOM that
// the page's script left: soft hyphens in each paragraph's language, nothing
// in pre, code, translate="no" or class no-hyphens, and a second run that
// changed nothing. Skipped where there is no chromium (CHROMIUM names one).
import assert from "node:assert/strict";
import { execFile } from "node:child_process";
import { existsSync, readFileSync } from "node:fs";
import { createServer } from "node:http";
import { createRequire } from "node:module";
import { dirname, extname, join, normalize } from "node:path";
import { test } from "node:test";
import { promisify } from "node:util";

const chromium = process.env.CHROMIUM ?? "/usr/bin/chromium";
const pkg = dirname(createRequire(import.meta.url).resolve("hyph/package.json"));
const types = { ".html": "text/html", ".js": "text/javascript", ".wasm": "application/wasm" };

function serve() {
  const server = createServer((request, response) => {
    const path = normalize(decodeURIComponent(new URL(request.url, "http://x").pathname));
    const file = join(pkg, path);
    try {
      const body = readFileSync(file);
      response.writeHead(200, { "content-type": types[extname(file)] ?? "application/octet-stream" });
      response.end(body);
    } catch {
      response.writeHead(404).end();
    }
  });
  return new Promise((resolve) => server.listen(0, "127.0.0.1", () => resolve(server)));
}

test("the example page in headless Chromium", { skip: !existsSync(chromium) }, async () => {
  const server = await serve();
  try {
    const url = `http://127.0.0.1:${server.address().port}/examples/index.html`;
    const { stdout } = await promisify(execFile)(chromium, [
      "--headless=new", "--no-sandbox", "--disable-gpu", "--no-first-run", "--disable-extensions",
      `--user-data-dir=${join(process.env.TMPDIR ?? "/tmp", `hyph-chromium-${process.pid}`)}`,
      "--virtual-time-budget=20000", "--dump-dom", url,
    ], { timeout: 120000, maxBuffer: 1 << 24 });
    const dom = stdout.replaceAll("&shy;", "\u00AD");
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
  } finally {
    server.close();
  }
});
