// The browser build against a floor: a static page holding the same title
// box, both served over loopback by one small HTTP server. Measures what the
// page transfers (gzip, as a server would send it) and the time from
// navigation to the title box on screen in headless Chromium, median of runs
// taken in turn. Prints the figures as JSON.
//
// usage: node bench/web.mjs SITE_DIR

import { readFileSync } from "node:fs";
import { createServer } from "node:http";
import path from "node:path";
import { gzipSync } from "node:zlib";

import { launchChromium } from "../tests/web/browser.mjs";

const RUNS = 21;
const TITLE = "*       Quillbramblewood       *";
const titleBox = ["********************************", "*                              *",
                  "*        Tinkerspindle         *", "*              by              *",
                  "*       Quillbramblewood       *", "*                              *",
                  "********************************"].map((line) => `\t\t${line}\n`).join("");
const floorPage = `<!doctype html><html lang="en"><head><meta charset="utf-8">
<meta name="viewport" content="width=device-width, initial-scale=1"><title>Tinkerspindle</title>
</head><body><pre>${titleBox}\n\n</pre></body></html>`;

function median(values) {
  const sorted = [...values].sort((a, b) => a - b);
  return sorted[Math.floor(sorted.length / 2)];
}

const types = { ".html": "text/html", ".css": "text/css", ".js": "text/javascript",
                ".wasm": "application/wasm" };

// Serves the site under /game/ and the floor page under /floor/, and keeps
// the compressed size of what each page asked for.
function serve(site, sent) {
  return createServer((request, response) => {
    const url = new URL(request.url, "http://localhost");
    let body;
    let type = "text/html";
    if (url.pathname === "/floor/") {
      body = Buffer.from(floorPage);
    } else {
      const file = url.pathname.replace(/^\/game\//, "").replace(/^$/, "index.html");
      try {
        body = readFileSync(path.join(site, file));
      } catch {
        response.writeHead(404).end();
        return;
      }
      type = types[path.extname(file)] ?? "application/octet-stream";
    }
    sent.push(gzipSync(body, { level: 9 }).length);
    response.writeHead(200, { "Content-Type": type, "Cache-Control": "no-store" }).end(body);
  });
}

// Milliseconds from navigation to the first frame drawn with the title box.
async function timeToTitle(browser, address) {
  const context = await browser.newContext();
  const page = await context.newPage();
  await page.addInitScript((title) => {
    new MutationObserver((records, observer) => {
      if (!document.body || !document.body.textContent.includes(title)) return;
      observer.disconnect();
      requestAnimationFrame(() => { window.titleShown = performance.now(); });
    }).observe(document, { childList: true, subtree: true, characterData: true });
  }, TITLE);
  await page.goto(address);
  await page.waitForFunction(() => window.titleShown !== undefined);
  const shown = await page.evaluate(() => window.titleShown);
  await context.close();
  return shown;
}

async function transferred(browser, address, sent) {
  sent.length = 0;
  await timeToTitle(browser, address);
  return { bytes: sent.reduce((a, b) => a + b, 0), files: sent.length };
}

const browser = await launchChromium();
const sent = [];
const server = serve(process.argv[2], sent);
await new Promise((resolve) => server.listen(0, "127.0.0.1", resolve));
const base = `http://127.0.0.1:${server.address().port}`;
const gamePage = `${base}/game/`, floorAddress = `${base}/floor/`;
const gameSent = await transferred(browser, gamePage, sent);  // the first start of anything is slow
const floorSent = await transferred(browser, floorAddress, sent);
const game = [], floor = [];
for (let run = 0; run < RUNS; ++run) {
  game.push(await timeToTitle(browser, gamePage));
  floor.push(await timeToTitle(browser, floorAddress));
}
await browser.close();
server.close();
console.log(JSON.stringify({ runs: RUNS, gameMs: median(game), floorMs: median(floor),
                             gameBytes: gameSent.bytes, gameFiles: gameSent.files,
                             floorBytes: floorSent.bytes }));
