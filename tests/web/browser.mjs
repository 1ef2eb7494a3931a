// Debian's chromium, started as the tests and the benchmark need it: headless,
// no sandbox (root), and none of the background connections a closed network
// refuses; and a folder served over loopback, where a page is a secure
// context (a service worker, an installable app) as on a real site.
import { createHash } from "node:crypto";
import { readFileSync } from "node:fs";
import { createServer } from "node:http";
import path from "node:path";
import { chromium } from "playwright-core";

export function launchChromium() {
  return chromium.launch({
    executablePath: "/usr/bin/chromium",
    chromiumSandbox: false,
    args: ["--disable-gpu", "--disable-quic", "--no-first-run", "--disable-background-networking",
           "--disable-component-update", "--disable-sync"],
  });
}

const types = { ".html": "text/html", ".css": "text/css", ".js": "text/javascript",
                ".wasm": "application/wasm", ".webmanifest": "application/manifest+json",
                ".svg": "image/svg+xml" };

// The file of the folder a path names ("/" is index.html), or null.
export function fileOf(folder, pathname) {
  try {
    return readFileSync(path.join(folder, pathname.replace(/\/$/, "/index.html")));
  } catch {
    return null;
  }
}

// Serves what body(pathname) gives (a 404 for null) on 127.0.0.1, as a
// static server does: the browser may keep a copy, but asks each time
// whether it still holds (an ETag, and 304 when it does). sent(pathname,
// body) hears of every body sent. Resolves to the origin and a close function.
export async function serve(body, sent = () => {}) {
  const server = createServer((request, response) => {
    const pathname = new URL(request.url, "http://localhost").pathname;
    const content = body(pathname);
    if (content === null) {
      response.writeHead(404).end();
      return;
    }
    const tag = `"${createHash("sha256").update(content).digest("hex").slice(0, 16)}"`;
    const headers = { "Content-Type": types[path.extname(pathname)] ?? "text/html",
                      "Cache-Control": "no-cache", ETag: tag };
    if (request.headers["if-none-match"] === tag) {
      response.writeHead(304, headers).end();
      return;
    }
    sent(pathname, content);
    response.writeHead(200, headers).end(content);
  });
  await new Promise((resolve) => server.listen(0, "127.0.0.1", resolve));
  return { origin: `http://127.0.0.1:${server.address().port}`, close: () => server.close() };
}
