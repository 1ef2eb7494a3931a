// The browser build in Debian's chromium, driven by playwright-core. Given
// no check, it plays standard input as a pipe would give it to the game: each
// line typed into the page, a key pressed at each wait; it writes what the
// page showed, a form feed for each clear, for check_transcript.py to
// compare. Given a check, it runs that one of the page's own checks.
//
// usage: node check_web.mjs SITE_DIR [CHECK]

import { readFileSync } from "node:fs";
import path from "node:path";
import { launchChromium } from "./browser.mjs";

const SKIP = 77;  // what CTest counts as skipped
const origin = "http://tinkerspindle.test";  // served from the folder, never from a network
const TITLE = "*        Tinkerspindle         *";
const MENU = "Enter Selection:  ";
const WORKSHOP = "You are in a workshop in the center of the junkyard.";
const BRIEFING = "On your mark...get set...go!";

class Failure extends Error {}

function expect(condition, message) {
  if (!condition) throw new Failure(message);
}

async function openPage(site, contextOptions = {}) {
  const browser = await launchChromium();
  const context = await browser.newContext(contextOptions);
  const page = await context.newPage();
  const errors = [];
  page.on("pageerror", (error) => errors.push(error.message));
  await page.route(`${origin}/**`, (route) => {
    const file = new URL(route.request().url()).pathname.replace(/\/$/, "/index.html");
    return route.fulfill({ path: path.join(site, file) });
  });
  // Keeps the text of every screen that a clear takes away.
  await page.addInitScript(() => {
    window.clearedScreens = [];
    document.addEventListener("DOMContentLoaded", () => {
      new MutationObserver((records) => {
        for (const record of records) {
          if (record.removedNodes.length === 0) continue;
          window.clearedScreens.push([...record.removedNodes]
            .filter((node) => node.nodeType === Node.TEXT_NODE).map((node) => node.data).join(""));
        }
      }).observe(document.getElementById("screen"), { childList: true });
    });
  });
  await page.goto(`${origin}/`);
  return { browser, page, errors };
}

// The page's state once the game waits for something: "line", "key" or "ended".
async function settled(page) {
  await page.waitForFunction(() => ["line", "key", "ended"].includes(document.body.dataset.state));
  return page.evaluate(() => document.body.dataset.state);
}

// What the game wrote since the last clear, without the lines typed.
function screenText(page) {
  return page.evaluate(() => [...document.getElementById("screen").childNodes]
    .filter((node) => node.nodeType === Node.TEXT_NODE).map((node) => node.data).join(""));
}

async function typeLine(page, line) {
  await page.locator("#line").fill(line);
  await page.keyboard.press("Enter");
}

// A keyboard types no NUL, no lone carriage return and no byte above 127.
function untypeable(typed) {
  return /[\0\r\x80-\xff]/.test(typed) || /[\x01-\x08\x0b-\x1f]/.test(typed);
}

// Plays the typed lines; gives the text of every screen, joined by form feeds.
async function play(site, typed) {
  const lines = typed.split("\n");
  if (lines[lines.length - 1] === "") lines.pop();
  const { browser, page, errors } = await openPage(site);
  try {
    for (;;) {
      const state = await settled(page);
      if (state === "key") {
        await page.keyboard.press("x");
      } else if (state === "line" && lines.length > 0) {
        await typeLine(page, lines.shift());
      } else {
        break;  // where a pipe would meet the end of input, the page waits for more
      }
    }
    const screens = [...await page.evaluate(() => window.clearedScreens), await screenText(page)];
    expect(errors.length === 0, `page errors: ${errors.join("; ")}`);
    return screens.join("\f");
  } finally {
    await browser.close();
  }
}

const checks = {
  async shift_alone_does_not_end_a_wait(page) {
    expect(await settled(page) === "key", "no key wait at the title");
    for (const key of ["Shift", "Control", "Alt", "Meta", "CapsLock"]) await page.keyboard.press(key);
    await page.waitForTimeout(300);
    expect(await settled(page) === "key", "a modifier alone ended the wait");
    await page.keyboard.press("a");
    expect(await settled(page) === "line" && (await screenText(page)).endsWith(MENU), "no menu");
  },

  async an_arrow_ends_two_waits(page) {
    await settled(page);
    await page.keyboard.press("ArrowDown");
    expect(await settled(page) === "line", "the arrow did not end the title's wait");
    await typeLine(page, "i");  // the introduction's wait ends at once
    expect(await settled(page) === "line", "the second wait did not end at once");
    expect((await screenText(page)).startsWith("Main Menu:"), await screenText(page));
    const clears = await page.evaluate(() => document.body.dataset.clears);
    expect(clears === "3", `${clears} clears, expected 3`);
  },

  async up_recalls_a_line(page) {
    await settled(page);
    await page.keyboard.press("Enter");
    await settled(page);
    await typeLine(page, "p");
    await settled(page);
    await typeLine(page, "talk");
    await settled(page);
    await page.keyboard.press("ArrowUp");
    expect(await page.locator("#line").inputValue() === "talk", "Up recalled nothing");
    await page.keyboard.press("Enter");
    await settled(page);
    const briefings = (await screenText(page)).split(BRIEFING).length - 1;
    expect(briefings === 2, `${briefings} briefings, expected 2`);
  },

  async a_tap_ends_a_wait_on_a_phone(page) {
    expect(await settled(page) === "key", "no key wait at the title");
    await page.locator("#screen").tap();
    expect(await settled(page) === "line", "the tap did not end the wait");
    const overflow = await page.evaluate(() =>
      document.documentElement.scrollWidth - document.documentElement.clientWidth);
    expect(overflow <= 0, `the page is ${overflow} pixels wider than the phone`);
    await page.locator("#line").tap();
    await typeLine(page, "q");
    expect(await settled(page) === "ended", "q did not end the game");
    expect(await screenText(page) === "Quit game.  Close window.", await screenText(page));
    expect(await page.locator("#line").isDisabled(), "the field still takes input");
  },
};

const phone = { viewport: { width: 360, height: 640 }, hasTouch: true, isMobile: true };

async function pageCheck(site, name) {
  const { browser, page, errors } = await openPage(site, name.includes("phone") ? phone : {});
  try {
    await checks[name](page);
    expect(errors.length === 0, `page errors: ${errors.join("; ")}`);
  } finally {
    await browser.close();
  }
}

async function main([site, name]) {
  try {
    if (name) {
      await pageCheck(site, name);
      console.log(`ok ${name}`);
      return 0;
    }
    const typed = readFileSync(0, "latin1");
    if (untypeable(typed)) {
      console.log("SKIP: its input holds bytes no keyboard types");
      return SKIP;
    }
    process.stdout.write(await play(site, typed));
    return 0;
  } catch (failure) {
    (name ? console.log : console.error)(`FAIL ${name ?? "play"}: ${failure.message}`);
    return 1;
  }
}

process.exitCode = await main(process.argv.slice(2));
