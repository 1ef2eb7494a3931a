// The browser build in Debian's chromium, driven by playwright-core. Given
// no check, it plays standard input as a pipe would give it to the game: each
// line typed into the page, a key pressed at each wait; it writes what the
// page showed, a form feed for each clear, for check_transcript.py to
// compare. Given a check, it runs that one of the page's own checks.
//
// usage: node check_web.mjs SITE_DIR [CHECK]
//        node check_web.mjs --list

import { readFileSync } from "node:fs";
import { createRequire } from "node:module";
import path from "node:path";
import { fileOf, launchChromium, serve } from "./browser.mjs";

const SKIP = 77;  // what CTest counts as skipped
const origin = "http://tinkerspindle.test";  // served from the folder, never from a network
const TITLE = "*        Tinkerspindle         *";
const MENU = "Enter Selection:  ";
const WORKSHOP = "You are in a workshop in the center of the junkyard.";
const BRIEFING = "On your mark...get set...go!";
const WON = "You have won!";
const shortestWin = ("p s get knife e get saw n get paper n get paint w get plaster w climb cut " +
                     "saw climb s s get raincoat n e make limb knife plas paper").split(" ");
const toTheInventory = ["p", "n", "get", "plaster", "s", "inv"];  // ends at the inventory's wait

const axeScript = createRequire(import.meta.url).resolve("axe-core/axe.min.js");

class Failure extends Error {}

function expect(condition, message) {
  if (!condition) throw new Failure(message);
}

// The page in a new browser: from the folder through request interception,
// with the files named in missing answered 404 and those in late a second
// late; or, served, from a loopback server, where the page is a secure
// context as on a real site. arrived is when goto returns: "parsed" is as
// soon as the page is there, before its deferred scripts (the game) run.
async function openPage(site, { context: contextOptions = {}, served = false, missing = [], late = [],
                                arrived = "load" } = {}) {
  const browser = await launchChromium();
  const context = await browser.newContext(contextOptions);
  const page = await context.newPage();
  const errors = [];
  context.on("page", (opened) => opened.on("pageerror", (error) => errors.push(error.message)));
  page.on("pageerror", (error) => errors.push(error.message));
  page.on("dialog", (dialog) => dialog.accept());  // a reload or New game, asked first, goes ahead
  let address = `${origin}/`;
  if (served) {
    const server = await serve((pathname) => fileOf(site, pathname));
    browser.on("disconnected", server.close);
    address = `${server.origin}/`;
  } else {
    await page.route(`${origin}/**`, async (route) => {
      const file = new URL(route.request().url()).pathname.replace(/\/$/, "/index.html");
      if (missing.includes(path.basename(file))) return route.fulfill({ status: 404 });
      if (late.includes(path.basename(file))) await new Promise((resolve) => setTimeout(resolve, 1000));
      return route.fulfill({ path: path.join(site, file) });
    });
  }
  // Keeps the text of every screen that a clear takes away.
  await context.addInitScript(() => {
    window.gameText = (nodes) => nodes.filter((node) => !node.classList?.contains("typed"))
      .map((node) => node.classList?.contains("older") ? gameText([...node.childNodes]) : node.textContent)
      .join("");
    window.clearedScreens = [];
    window.announced = [];  // every text the live region was given
    document.addEventListener("DOMContentLoaded", () => {
      new MutationObserver((records) => {
        for (const record of records) window.announced.push(gameText([...record.addedNodes]));
      }).observe(document.querySelector("[aria-live]"), { childList: true });
      new MutationObserver((records) => {
        for (const record of records) {
          if (record.removedNodes.length > 0) window.clearedScreens.push(gameText([...record.removedNodes]));
        }
      }).observe(document.getElementById("screen"), { childList: true });
    });
  });
  await page.goto(address, { waitUntil: arrived === "parsed" ? "commit" : arrived });
  if (arrived === "parsed") await page.waitForFunction(() => document.readyState !== "loading");
  return { browser, page, errors };
}

// The page's state once the game waits for something: "line", "key" or "ended".
async function settled(page) {
  await page.waitForFunction(() => ["line", "key", "ended"].includes(document.body.dataset.state));
  return page.evaluate(() => document.body.dataset.state);
}

// What the game wrote since the last clear, without the lines typed.
function screenText(page) {
  return page.evaluate(() => gameText([...document.getElementById("screen").childNodes]));
}

async function typeLine(page, line) {
  await page.locator("#line").fill(line);
  await page.keyboard.press("Enter");
}

// Types the lines, pressing a key at every wait on the way, while the game
// reads lines.
async function playLines(page, lines) {
  for (const line of lines) {
    while (await settled(page) === "key") await page.keyboard.press("x");
    if (await settled(page) !== "line") break;
    await typeLine(page, line);
  }
  return settled(page);
}

// The page loaded again, as after F5 or a tab the browser discarded.
async function reloaded(page) {
  await page.reload();
  return settled(page);
}

// The page afresh at the title: nothing kept, or nothing resumed.
async function expectTitle(page, why) {
  expect(await settled(page) === "key" && (await screenText(page)).includes(TITLE), `${why}: no title`);
}

// How many pixels the page is wider than the screen.
function overflowing(page) {
  return page.evaluate(() => document.documentElement.scrollWidth - document.documentElement.clientWidth);
}

// Every node of the accessibility tree that Chromium gives assistive technology.
async function accessibleNodes(page) {
  const session = await page.context().newCDPSession(page);
  const { nodes } = await session.send("Accessibility.getFullAXTree");
  await session.detach();
  return nodes.filter((node) => !node.ignored)
    .map((node) => ({ role: node.role?.value, name: String(node.name?.value ?? "") }));
}

// What axe-core finds wrong for assistive technology in the page as it is now.
async function axeViolations(page) {
  await page.addScriptTag({ path: axeScript });
  const { violations } = await page.evaluate(() => axe.run(document));
  return violations.map((violation) => `${violation.id}: ${violation.nodes.map((node) => node.target).join(", ")}`);
}

// axe-core at the title's wait, a prompt and a later wait.
async function nothingForAxe(page) {
  const found = [];
  for (const step of [null, "Enter", "p", "inv"]) {
    if (step === "Enter") await page.keyboard.press(step);
    else if (step) await typeLine(page, step);
    const state = await settled(page);
    found.push(...(await axeViolations(page)).map((violation) => `at a ${state} wait: ${violation}`));
  }
  expect(found.length === 0, found.join("\n"));
}

// A keyboard types no NUL, no lone carriage return and no byte above 127.
function untypeable(typed) {
  return /[\0\r\x80-\xff]/.test(typed) || /[\x01-\x08\x0b-\x1f]/.test(typed);
}

// Plays the typed lines; gives the text of every screen, joined by form feeds.
// Where a pipe would meet the end of input, the page waits for more.
async function play(site, typed) {
  const lines = typed.split("\n");
  if (lines[lines.length - 1] === "") lines.pop();
  const { browser, page, errors } = await openPage(site);
  try {
    await playLines(page, lines);
    while (await settled(page) === "key") await page.keyboard.press("x");
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

  async browser_keys_keep_their_meaning_at_a_wait(page) {
    expect(await settled(page) === "key", "no key wait at the title");
    for (const key of ["Control+c", "Control+a", "Tab", "ArrowDown", "PageDown", "Home", "F2",
                       "Alt+ArrowLeft", "Backspace"]) {
      await page.keyboard.press(key);
      await page.waitForTimeout(100);
      expect(await settled(page) === "key" && (await screenText(page)).includes(TITLE),
             `${key} ended the wait at the title`);
    }
    await page.keyboard.press("Enter");
    expect(await playLines(page, shortestWin) === "key", "no wait after the last line");
    expect((await screenText(page)).includes(WON), await screenText(page));
    await page.keyboard.press("PageUp");
    await page.waitForTimeout(300);
    expect(await settled(page) === "key" && (await screenText(page)).includes(WON),
           "Page Up took the won ending away");
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
    const overflow = await overflowing(page);
    expect(overflow <= 0, `the page is ${overflow} pixels wider than the phone`);
    await page.locator("#line").tap();
    await typeLine(page, "q");
    expect(await settled(page) === "ended", "q did not end the game");
    expect(await screenText(page) === "Quit game.  Close window.", await screenText(page));
    expect(await page.locator("#line").isDisabled(), "the field still takes input");
  },

  async a_wait_is_told_from_a_prompt_and_each_reply_announced_once(page) {
    const has = (nodes, role, name) => nodes.some((node) => node.role === role && node.name === name);
    expect(await settled(page) === "key", "no key wait at the title");
    let nodes = await accessibleNodes(page);
    expect(has(nodes, "button", "Press any key to go on") && !nodes.some((node) => node.role === "textbox"),
           `the wait is not told as one: ${JSON.stringify(nodes)}`);
    expect(has(nodes, "heading", "Tinkerspindle"), "no heading names the game");
    expect(!nodes.some((node) => node.name.includes("**")), "asterisks are read out");
    await page.keyboard.press("Enter");
    await settled(page);
    await page.evaluate(() => { window.announced = []; });
    await typeLine(page, "p");
    await settled(page);
    nodes = await accessibleNodes(page);
    expect(has(nodes, "textbox", "Your command") && !has(nodes, "button", "Press any key to go on"),
           `the prompt is not told as one: ${JSON.stringify(nodes)}`);
    const typedOutsideLiveRegions = await page.evaluate(() => [...document.querySelectorAll(".typed")]
      .every((typed) => !typed.closest("[aria-live], [role=log], [role=status], [role=alert]")));
    expect(typedOutsideLiveRegions, "the line typed is inside a live region");
    const announced = await page.evaluate(() => window.announced.join(""));
    expect(announced.startsWith(`\n${WORKSHOP}`), `announced after the line typed: ${announced}`);
  },

  async a_click_ends_a_wait_and_typing_finds_the_field(page) {
    expect(await settled(page) === "key", "no key wait at the title");
    const word = await page.evaluate(() => {
      const range = document.createRange();
      const text = [...document.getElementById("screen").childNodes].find((node) =>
        node.nodeType === Node.TEXT_NODE && node.data.includes("Tinkerspindle"));
      range.setStart(text, text.data.indexOf("Tinkerspindle"));
      range.setEnd(text, text.data.indexOf("Tinkerspindle") + 5);
      const { x, y, width, height } = range.getBoundingClientRect();
      return { x: x + width / 2, y: y + height / 2 };
    });
    await page.mouse.dblclick(word.x, word.y);
    await page.waitForTimeout(600);
    expect(await settled(page) === "key" &&
           await page.evaluate(() => window.getSelection().toString()) === "Tinkerspindle",
           "a double click to select a word ended the wait");
    await page.mouse.click(200, 300);
    await page.waitForFunction(() => document.body.dataset.state === "line");
    await page.evaluate(() => document.activeElement.blur());
    await page.keyboard.type("p");
    await page.keyboard.press("Enter");
    expect(await settled(page) === "line" && (await screenText(page)).includes(WORKSHOP),
           "typing away from the field was lost");
    await page.evaluate(() => {  // two lines pasted, the focus on the page
      const clipboardData = new DataTransfer();
      clipboardData.setData("text", "talk\nn\n");
      document.body.dispatchEvent(new ClipboardEvent("paste", { clipboardData, bubbles: true }));
    });
    await page.waitForFunction(() => document.getElementById("screen").textContent.includes("refuse"));
    const shown = await page.evaluate(() => document.getElementById("screen").textContent);
    expect(/talk\n\nThe thing[^]*go!\n\n[^]*\nn\n\nYou are in a pile/.test(shown),
           `the pasted lines are not shown each before its reply:\n${shown}`);
    const asked = new Promise((resolve) => page.once("dialog", (dialog) => resolve(dialog.type())));
    await page.close({ runBeforeUnload: true });
    expect(await asked === "beforeunload", "leaving the page in play asked nothing");
  },

  async a_composing_enter_ends_no_line(page) {
    await settled(page);
    await page.keyboard.press("Enter");
    await settled(page);
    const session = await page.context().newCDPSession(page);
    await session.send("Input.imeSetComposition", { text: "q", selectionStart: 1, selectionEnd: 1 });
    await session.send("Input.dispatchKeyEvent", { type: "rawKeyDown", key: "Enter", code: "Enter",
                                                   windowsVirtualKeyCode: 229 });
    await page.waitForTimeout(300);
    expect(await settled(page) === "line" && (await screenText(page)).endsWith(MENU),
           "the Enter that ended a composition ended the line");
  },

  async offline_and_installable(page) {
    expect(await settled(page) === "key", "no key wait at the title");
    await page.evaluate(() => navigator.serviceWorker.ready);
    const session = await page.context().newCDPSession(page);
    const { installabilityErrors } = await session.send("Page.getInstallabilityErrors");
    const errors = installabilityErrors.map((error) => error.errorId);
    expect(errors.every((error) => error === "in-incognito"), `not installable: ${errors}`);
    await page.context().setOffline(true);
    await page.reload();
    expect(await settled(page) === "key" && (await screenText(page)).includes(TITLE),
           "with no network, a reload shows no title");
  },

  async title_box_whole_at_320_pixels(page) {
    expect(await settled(page) === "key", "no key wait at the title");
    const rows = await page.evaluate(() => {
      const range = document.createRange();
      range.selectNodeContents(document.getElementById("screen"));
      return new Set([...range.getClientRects()].filter((rect) => rect.width > 0)
        .map((rect) => Math.round(rect.top))).size;
    });
    expect(rows === 7, `the title box takes ${rows} rows, not 7`);
    const overflow = await overflowing(page);
    expect(overflow <= 0, `the page is ${overflow} pixels wider than the screen`);
  },

  async a_key_as_the_page_arrives_ends_the_title_wait(page) {
    await page.keyboard.press("z");
    expect(await settled(page) === "line" && (await screenText(page)).endsWith(MENU),
           `no menu after a key pressed as the page arrived: ${await screenText(page)}`);
  },

  async keys_typed_while_the_game_loads_reach_it(page) {
    await page.keyboard.press("z");
    await page.keyboard.type("p");
    await page.keyboard.press("Enter");
    await page.waitForFunction((workshop) => document.body.dataset.state === "line" &&
      document.getElementById("screen").textContent.includes(workshop), WORKSHOP);
  },

  // The screen, the wait and the plaster as they stood; the transcript holds
  // the player's lines; a control keeps its Enter at a wait.
  async a_reload_resumes_the_game(page) {
    expect(await playLines(page, toTheInventory) === "key", "no wait at the inventory");
    const before = await screenText(page);
    expect(await reloaded(page) === "key" && await screenText(page) === before && before.includes("\tplaster"),
           `not resumed as it stood:\n${await screenText(page)}`);
    await page.focus("#save-transcript");
    const [download] = await Promise.all([page.waitForEvent("download"), page.keyboard.press("Enter")]);
    const saved = readFileSync(await download.path(), "utf8");
    expect(/^tinkerspindle-\d{4}-\d\d-\d\d\.txt$/.test(download.suggestedFilename()) &&
           saved.includes("Main Menu:") && saved.includes("\nget\n") && saved.endsWith(before),
           `the transcript ${download.suggestedFilename()}:\n${saved}`);
    expect(await settled(page) === "key", "Enter on a control ended the wait");
  },

  async a_second_tab_starts_afresh(page) {
    await playLines(page, ["p", "talk"]);
    const other = await page.context().newPage();
    await other.goto(page.url());
    await expectTitle(other, "a second tab");
    await playLines(other, ["q"]);
    expect(await reloaded(page) === "line" && (await screenText(page)).includes(BRIEFING),
           "the first tab lost its game");
    expect(await playLines(page, ["inv"]) === "key", "the first line after a resume was not taken whole");
  },

  async new_game_starts_afresh(page) {
    await playLines(page, ["p", "talk"]);
    await Promise.all([page.waitForEvent("load"), page.click("#new-game")]);
    await expectTitle(page, "New game");
    await reloaded(page);
    await expectTitle(page, "a reload after New game");
  },

  // Each set aside, and said so outside the game's text.
  async kept_data_that_does_not_hold_starts_afresh(page) {
    const spoilers = {
      garbage: () => sessionStorage.setItem("tinkerspindle-check", "{garbage"),
      "of another build": () => sessionStorage.setItem("tinkerspindle-check",
        sessionStorage.getItem("tinkerspindle-check").replace(/"build":"\w+"/, '"build":"0"')),
      "cut short": () => sessionStorage.setItem("tinkerspindle-input",
        sessionStorage.getItem("tinkerspindle-input").slice(0, -2)),
      "edited by hand": () => sessionStorage.setItem("tinkerspindle-input",
        sessionStorage.getItem("tinkerspindle-input").replace("talk", "tall")),
    };
    for (const [how, spoil] of Object.entries(spoilers)) {
      await playLines(page, ["p", "talk"]);
      await page.evaluate(spoil);
      await reloaded(page);
      await expectTitle(page, `a kept game ${how}`);
      expect(await page.locator("#notice").isVisible(), `a kept game ${how}: the page said nothing`);
    }
  },

  async a_game_quit_is_not_resumed(page) {
    expect(await playLines(page, ["q"]) === "ended", "q did not end the game");
    await reloaded(page);
    await expectTitle(page, "a reload after q");
  },

  nothing_for_axe: nothingForAxe,
  nothing_for_axe_at_320_pixels: nothingForAxe,

  async a_missing_file_is_told_in_words(page) {
    await page.locator("#failure").waitFor();
    const words = await page.locator("#failure").textContent();
    expect(words.startsWith("Tinkerspindle could not start"), words);
  },
};

const served = { served: true };
const phone = { viewport: { width: 360, height: 640 }, hasTouch: true, isMobile: true };
const narrow = { viewport: { width: 320, height: 640 } };
const setups = {
  a_tap_ends_a_wait_on_a_phone: { context: phone },
  title_box_whole_at_320_pixels: { context: narrow },
  nothing_for_axe_at_320_pixels: { context: narrow },
  offline_and_installable: served,
  a_reload_resumes_the_game: served,
  a_second_tab_starts_afresh: served,
  new_game_starts_afresh: served,
  kept_data_that_does_not_hold_starts_afresh: served,
  a_game_quit_is_not_resumed: served,
  a_missing_file_is_told_in_words: { missing: ["tinkerspindle.wasm"] },
  a_key_as_the_page_arrives_ends_the_title_wait: { arrived: "parsed", late: ["tinkerspindle.js"] },
  keys_typed_while_the_game_loads_reach_it: { arrived: "parsed", late: ["tinkerspindle.js"] },
};

async function pageCheck(site, name) {
  const setup = setups[name] ?? {};
  const { browser, page, errors } = await openPage(site, setup);
  try {
    await checks[name](page);
    expect(setup.missing || errors.length === 0, `page errors: ${errors.join("; ")}`);
  } finally {
    await browser.close();
  }
}

async function main([site, name]) {
  if (site === "--list") {
    console.log(Object.keys(checks).join("\n"));
    return 0;
  }
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
