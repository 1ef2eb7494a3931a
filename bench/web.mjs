// The browser build against a floor: a static page holding the same title
// box, both served over loopback by one small HTTP server. Measures what the
// page transfers (gzip, as a server would send it) and the time from
// navigation to the title box on screen in headless Chromium, median of runs
// taken in turn: on a first visit, and on a repeat visit, where the game's
// service worker serves its files and the floor comes from the server again.
// On the game's page, a key is pressed the moment the title shows, and the
// time until the menu is on screen is what a player waits. A game the tab
// kept, of 100 and of 10,000 moves, is measured as it is kept (bytes) and
// resumed (from navigation to its prompt on screen). Prints the figures as
// JSON.
//
// usage: node bench/web.mjs SITE_DIR

import { gzipSync } from "node:zlib";

import { fileOf, launchChromium, serve } from "../tests/web/browser.mjs";

const RUNS = 21;
const KEPT_MOVES = [100, 10000];
const TITLE = "*       Quillbramblewood       *";
const MENU = "Enter Selection:";
const titleBox = ["********************************", "*                              *",
                  "*        Tinkerspindle         *", "*              by              *",
                  "*       Quillbramblewood       *", "*                              *",
                  "********************************"].map((line) => `\t\t${line}\n`).join("");
const floorPage = Buffer.from(`<!doctype html><html lang="en"><head><meta charset="utf-8">
<meta name="viewport" content="width=device-width, initial-scale=1"><title>Tinkerspindle</title>
</head><body><pre>${titleBox}\n\n</pre></body></html>`);

function median(values) {
  const sorted = [...values].sort((a, b) => a - b);
  return sorted[Math.floor(sorted.length / 2)];
}

// Milliseconds from navigation to the first frame drawn with the title box;
// on the game's page also from the key pressed then to the frame with the menu.
async function timeToTitle(context, address) {
  const serviceWorker = address.endsWith("/game/");
  const page = await context.newPage();
  await page.addInitScript((texts) => {
    for (const [text, shown] of texts) {
      new MutationObserver((records, observer) => {
        if (!document.body || !document.body.textContent.includes(text)) return;
        observer.disconnect();
        requestAnimationFrame(() => { window[shown] = performance.now(); });
      }).observe(document, { childList: true, subtree: true, characterData: true });
    }
    addEventListener("keydown", () => { window.keyPressed ??= performance.now(); }, true);
  }, [[TITLE, "titleShown"], [MENU, "menuShown"]]);
  await page.goto(address, { waitUntil: "commit" });
  await page.waitForFunction(() => window.titleShown !== undefined, null, { polling: "raf" });
  let shown = await page.evaluate(() => window.titleShown);
  if (serviceWorker) {
    await page.keyboard.press("x");
    await page.waitForFunction(() => window.menuShown !== undefined);
    shown = { title: shown, ...await page.evaluate(() => ({ menu: window.menuShown - window.keyPressed })) };
  }
  // Until the service worker has the page, a repeat visit would not be one.
  if (serviceWorker) {
    await page.evaluate(() => navigator.serviceWorker.controller || new Promise((resolve) =>
      navigator.serviceWorker.addEventListener("controllerchange", resolve)));
  }
  await page.close();
  return shown;
}

// The input the page keeps for a game of so many moves between the
// workshop and the refuse pile, and the check it keeps beside it: the
// page's own digest (FNV-1a) and the build in index.html.
function keptGame(moves, build) {
  const input = "\rp\n" + "n\ns\n".repeat(moves / 2);
  let digest = 0x811c9dc5;
  for (let index = 0; index < input.length; index++) {
    digest = Math.imul(digest ^ input.charCodeAt(index), 0x01000193) >>> 0;
  }
  return { input, check: JSON.stringify({ build, digest }) };
}

// Milliseconds from navigation to the kept game's prompt on screen, and the
// bytes kept; the median of runs.
async function resumed(browser, address, moves) {
  const times = [];
  let bytes = 0;
  for (let run = 0; run < RUNS; ++run) {
    const page = await (await browser.newContext()).newPage();
    await page.goto(address);
    const build = await page.evaluate(() => document.documentElement.dataset.build);
    const { input, check } = keptGame(moves, build);
    bytes = Buffer.byteLength(input) + Buffer.byteLength(check);
    await page.evaluate(([kept, checked]) => {
      sessionStorage.setItem("tinkerspindle-input", kept);
      sessionStorage.setItem("tinkerspindle-check", checked);
    }, [input, check]);
    await page.reload({ waitUntil: "commit" });
    await page.waitForFunction(() => document.body?.dataset.state === "line" &&
      (window.resumedAt = performance.now()), null, { polling: "raf" });
    times.push(await page.evaluate(() => window.resumedAt));
    await page.context().close();
  }
  return { moves, bytes, ms: median(times) };
}

// The first visit in a fresh context, then the repeat visit in the same one.
async function visits(browser, address) {
  const context = await browser.newContext();
  const first = await timeToTitle(context, address);
  const repeat = await timeToTitle(context, address);
  await context.close();
  return { first, repeat };
}

const sent = [];
const site = process.argv[2];
const server = await serve((pathname) => pathname === "/floor/" ? floorPage
  : pathname.startsWith("/game/") ? fileOf(site, pathname.slice("/game".length)) : null,
  (pathname, body) => sent.push(gzipSync(body, { level: 9 }).length));
const browser = await launchChromium();
const gamePage = `${server.origin}/game/`, floorAddress = `${server.origin}/floor/`;
await visits(browser, gamePage);  // the first start of anything is slow
const transferred = (from) => ({ bytes: sent.slice(from).reduce((a, b) => a + b, 0),
                                 files: sent.length - from });
let mark = sent.length;
const context = await browser.newContext();
await timeToTitle(context, gamePage);
const gameSent = transferred(mark);
mark = sent.length;
await timeToTitle(context, gamePage);
const repeatSent = transferred(mark);
await context.close();
mark = sent.length;
await visits(browser, floorAddress);
const floorSent = transferred(mark);
const game = [], floor = [];
for (let run = 0; run < RUNS; ++run) {
  game.push(await visits(browser, gamePage));
  floor.push(await visits(browser, floorAddress));
}
const kept = [];
for (const moves of KEPT_MOVES) kept.push(await resumed(browser, gamePage, moves));
await browser.close();
server.close();
const of = (runs, visit, measure = (shown) => shown) => median(runs.map((run) => measure(run[visit])));
const title = (shown) => shown.title, menu = (shown) => shown.menu;
console.log(JSON.stringify({
  runs: RUNS, gameMs: of(game, "first", title), floorMs: of(floor, "first"),
  gameRepeatMs: of(game, "repeat", title), floorRepeatMs: of(floor, "repeat"),
  menuMs: of(game, "first", menu), menuRepeatMs: of(game, "repeat", menu),
  gameBytes: gameSent.bytes, gameFiles: gameSent.files, repeatBytes: repeatSent.bytes,
  repeatFiles: repeatSent.files, floorBytes: floorSent.bytes, kept }));
