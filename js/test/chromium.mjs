// Opening a page in Debian's chromium, headless, for the browser tests: a
// server of the test's own serves a folder (and any page the test gives),
// the page posts what it found to /result, and Chromium is stopped once it
// has. Nothing depends on Chromium's idea of when a page is done.
import { spawn } from "node:child_process";
import { existsSync, readFileSync } from "node:fs";
import { createServer } from "node:http";
import { extname, join, normalize } from "node:path";

export const chromium = process.env.CHROMIUM ?? "/usr/bin/chromium";
export const hasChromium = existsSync(chromium);

const types = { ".html": "text/html", ".js": "text/javascript", ".wasm": "application/wasm" };
let opened = 0; // a profile of chromium's own for each page

/**
 * Opens `page` ("/index.html") of `root`, or of `pages` (path -> HTML),
 * and resolves to what the page posts to /result; rejects after two
 * minutes without it.
 */
export async function reportOf(root, page, pages = {}) {
  let report;
  const reported = new Promise((resolve) => { report = resolve; });
  const server = createServer((request, response) => {
    const path = normalize(decodeURIComponent(new URL(request.url, "http://x").pathname));
    if (request.method === "POST" && path === "/result") {
      let body = "";
      request.on("data", (chunk) => { body += chunk; });
      request.on("end", () => { response.end(); report(body); });
      return;
    }
    if (pages[path] !== undefined) {
      response.writeHead(200, { "content-type": "text/html" }).end(pages[path]);
      return;
    }
    try {
      const body = readFileSync(join(root, path));
      response.writeHead(200, { "content-type": types[extname(path)] ?? "application/octet-stream" });
      response.end(body);
    } catch {
      response.writeHead(404).end();
    }
  });
  await new Promise((resolve) => server.listen(0, "127.0.0.1", resolve));
  const browser = spawn(chromium, [
    "--headless=new", "--no-sandbox", "--disable-gpu", "--no-first-run", "--disable-extensions",
    `--user-data-dir=${join(process.env.TMPDIR ?? "/tmp", `hyph-chromium-${process.pid}-${++opened}`)}`,
    `http://127.0.0.1:${server.address().port}${page}`,
  ], { stdio: "ignore" });
  let timer;
  try {
    return await Promise.race([reported, new Promise((_, reject) => {
      timer = setTimeout(() => reject(new Error(`no report from ${page} in two minutes`)), 120000);
    })]);
  } finally {
    clearTimeout(timer);
    browser.kill();
    server.close();
  }
}
