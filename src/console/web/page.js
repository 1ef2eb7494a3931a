// The page side of the web console (web/platform.cpp calls write, clear,
// readLine and readKey). The screen holds the game's text and the lines the
// player typed; a field at its end takes lines, with the browser's editing
// and a history for Up and Down; at a key wait the field gives way to a cue,
// and only a key that types a character, Enter, Escape or a click ends the
// wait, so that every other key keeps its meaning in the browser. A hidden
// live region reads each of the game's replies out once, whole; the focus
// moves to the cue at each wait, so that a screen reader announces it.
//
// This script is in index.html, which also holds the game's first screen:
// from the page's first moment the title's wait is on and every key is
// kept, while tinkerspindle.js loads the game once the first frame is
// drawn. The page starts the game once the WebAssembly is ready, and takes
// no more input once the game has ended.
var tinkerspindlePage = (function () {
  "use strict";

  const historyLength = 100;  // lines kept for Up and Down, in memory only
  const doubleClickMilliseconds = 300;
  const announcedMilliseconds = 2000;  // a screen reader has the text from the moment it came
  // The title box's frame, hidden from assistive technology, which would
  // read every asterisk out.
  const frame = /(\*+)/;

  const decoder = new TextDecoder();
  const encoder = new TextEncoder();
  const screen = document.getElementById("screen");
  const field = document.getElementById("line");
  const cue = document.getElementById("key");
  const announcer = document.getElementById("announcer");
  // The first screen as the page arrived with it; the game's first words,
  // the same, take it over rather than show it twice.
  let firstScreen = screen.textContent;
  let keyAhead = false;    // the title's wait ended before the game asked for a key
  const typedLines = [];   // entered, not yet read
  let unreadBytes = null;  // the rest of a line longer than the reader asked for
  let lineWanted = null;   // resolves the read waiting for a line
  let keyWanted = null;    // resolves the key wait
  const history = [];
  let historyPosition = 0;
  let draft = "";
  let clears = 0;
  let pendingClick = null;
  let pendingSilence = null;
  let unannounced = "";  // the words of a reply still being written
  let oddReply = false;

  // data-state (loading, busy, line, key, ended) and data-clears are for the
  // tests, which wait on them; the page itself never reads them.
  function setState(state) { document.body.dataset.state = state; }

  function failed(reason) {
    const failure = document.getElementById("failure");
    failure.textContent = `Tinkerspindle could not start: ${reason}`;
    failure.hidden = false;
    field.hidden = cue.hidden = true;
  }

  // The input element in use: the field at a prompt, the cue at a key wait.
  function caret() { return inUse(cue) ? cue : field; }

  function inUse(element) { return !element.hidden && !element.classList.contains("leaving"); }

  function keepInView() { caret().scrollIntoView({block: "nearest"}); }

  function appendText(text) {
    const last = screen.lastChild;
    if (last && last.nodeType === Node.TEXT_NODE) {
      last.appendData(text);
    } else {
      screen.appendChild(document.createTextNode(text));
    }
  }

  function appendSpan(text, attribute, value) {
    const span = document.createElement("span");
    span.setAttribute(attribute, value);
    span.textContent = text;
    screen.appendChild(span);
  }

  // The game's text, on the screen and, once, in the live region.
  function show(text) {
    if (text === "") return;
    for (const piece of text.split(frame)) {
      if (frame.test(piece)) {
        appendSpan(piece, "aria-hidden", "true");
      } else if (piece !== "") {
        appendText(piece);
        unannounced += piece;
      }
    }
    keepInView();
  }

  // A reply goes into the live region whole, once the game has written it
  // all and waits for the player: a screen reader reads the pieces of a reply
  // in an order of its own. Every other reply ends in a no-break space, which
  // nothing reads out: a screen reader takes new text equal to the last as a
  // repeat and says nothing. Once read out, the replies leave, so that
  // reading the page through does not meet them twice.
  function announceReply() {
    const words = unannounced;
    unannounced = "";
    if (words.trim() === "") return;
    const reply = document.createElement("p");
    oddReply = !oddReply;
    reply.textContent = words + (oddReply ? "\u00a0" : "");
    announcer.append(reply);
    clearTimeout(pendingSilence);
    pendingSilence = setTimeout(() => announcer.replaceChildren(), announcedMilliseconds);
  }

  // The player's own line: shown, but outside the live region, so that a
  // screen reader does not read it back.
  function showTyped(line) {
    appendSpan(line + "\n", "class", "typed");
    keepInView();
  }

  function warnBeforeLeaving(event) {
    event.preventDefault();
    event.returnValue = "";  // the game cannot be saved
  }

  // The element to type into is shown and focused before the other one
  // leaves. A screen reader follows the focus as it moves, but loses it if
  // it hears of the focused element vanishing first: so the other element
  // is only hidden from sight at once, and from assistive technology two
  // frames later, once the browser has told of the move.
  function moveFocus(to, from) {
    to.classList.remove("leaving");
    to.hidden = false;
    to.focus();
    from.classList.add("leaving");
    requestAnimationFrame(() => requestAnimationFrame(() => {
      if (document.activeElement !== from) from.hidden = true;
      from.classList.remove("leaving");
    }));
  }

  function showField() { moveFocus(field, cue); }

  function showCue() { moveFocus(cue, field); }

  function endKeyWait() {
    const resolve = keyWanted;
    keyWanted = null;
    // The field comes back within the key or tap that ended the wait, so that a
    // phone opens its keyboard for the line that usually follows.
    showField();
    setState("busy");
    resolve();
  }

  function remember(line) {
    if (line !== "" && line !== history[history.length - 1]) history.push(line);
    if (history.length > historyLength) history.shift();
    historyPosition = history.length;
    draft = "";
  }

  // A line typed ahead is shown when the game reads it, so that the screen
  // reads as if it had been typed then.
  function enter(line) {
    remember(line);
    window.addEventListener("beforeunload", warnBeforeLeaving);
    if (lineWanted) {
      const resolve = lineWanted;
      lineWanted = null;
      setState("busy");
      resolve(line);
    } else {
      typedLines.push(line);
    }
  }


  function submit() {
    const line = field.value;
    field.value = "";
    enter(line);
  }

  function recall(step) {
    const position = historyPosition + step;
    if (position < 0 || position > history.length) return;
    if (historyPosition === history.length) draft = field.value;
    historyPosition = position;
    field.value = position === history.length ? draft : history[position];
    field.setSelectionRange(field.value.length, field.value.length);
  }

  function typesCharacter(event) { return [...event.key].length === 1; }

  // Held with Ctrl or Meta, a key is the browser's; AltGr, which Windows
  // reports as Ctrl+Alt, types characters.
  function heldForTheBrowser(event) {
    return (event.ctrlKey || event.metaKey) && !event.getModifierState("AltGraph");
  }

  // At a key wait: a key that types a character, Enter and Escape end it.
  // Alt (Option) with a key ends it only if a character follows (keypress),
  // as on a Mac; every other key keeps its meaning.
  function keyAtWait(event) {
    if (heldForTheBrowser(event) || event.isComposing) return;
    if (event.altKey && !event.getModifierState("AltGraph")) return;
    if (typesCharacter(event) || event.key === "Enter" || event.key === "Escape") {
      event.preventDefault();  // the key ends the wait and goes nowhere else
      endKeyWait();
    }
  }

  function onKeyPress(event) {
    if (keyWanted && event.altKey) {
      event.preventDefault();
      endKeyWait();
    }
  }

  // At a prompt, typing reaches the field wherever the focus is in the page.
  function keyElsewhere(event) {
    if (heldForTheBrowser(event) || event.altKey || event.isComposing || field.hidden) return;
    if (event.key === "Enter") {
      event.preventDefault();
      submit();
    } else if (typesCharacter(event)) {
      event.preventDefault();
      field.setRangeText(event.key, field.selectionStart, field.selectionEnd, "end");
      field.focus();
    }
  }

  function onKeyDown(event) {
    if (keyWanted) {
      keyAtWait(event);
    } else if (event.target !== field) {
      keyElsewhere(event);
    } else if (event.key === "Enter") {
      // The Enter that ends an input method's composition is the method's.
      if (event.isComposing || event.keyCode === 229) return;
      event.preventDefault();
      submit();
    } else if (event.key === "ArrowUp" || event.key === "ArrowDown") {
      event.preventDefault();
      recall(event.key === "ArrowUp" ? -1 : 1);
    }
  }

  // A paste at a prompt, wherever the focus is, goes into the field, and
  // each of its whole lines is entered.
  function onPaste(event) {
    if (keyWanted || field.hidden) return;
    event.preventDefault();
    const pasted = event.clipboardData.getData("text");
    const into = event.target === field;
    const start = into ? field.selectionStart : field.value.length;
    const end = into ? field.selectionEnd : field.value.length;
    const lines = (field.value.slice(0, start) + pasted).split(/\r?\n|\r/);
    const rest = field.value.slice(end);
    field.value = lines.pop();
    field.setSelectionRange(field.value.length, field.value.length);
    field.setRangeText(rest, field.value.length, field.value.length, "start");
    for (const line of lines) enter(line);
    field.focus();
  }

  // A click or tap that selects no text ends a wait, or brings the field
  // (and a phone's keyboard) up. A mouse's click ends a wait only once no
  // second click has followed it, which would make it a double click that
  // selects a word.
  function onClick(event) {
    clearTimeout(pendingClick);
    if (event.detail > 1 || !window.getSelection().isCollapsed) return;
    if (keyWanted && event.pointerType === "mouse") {
      pendingClick = setTimeout(() => {
        if (keyWanted && window.getSelection().isCollapsed) endKeyWait();
      }, doubleClickMilliseconds);
    } else if (keyWanted) {
      endKeyWait();
    } else {
      field.focus();
    }
  }

  // From the page's first moment: every key is the page's, and the title's
  // wait is on, though the game has not asked for it yet. Nothing is focused
  // yet, so that a screen reader reads the loaded page through as it does
  // any other, the title box and then the cue, each once.
  function listen() {
    document.addEventListener("keydown", onKeyDown, true);
    document.addEventListener("keypress", onKeyPress, true);
    document.addEventListener("click", onClick);
    document.addEventListener("paste", onPaste);
    field.addEventListener("input", keepInView);
    window.addEventListener("resize", keepInView);
    if (window.visualViewport) window.visualViewport.addEventListener("resize", keepInView);
    keyWanted = () => { keyAhead = true; };
    // Neither the game's start nor the service worker's holds back the first frame.
    requestAnimationFrame(() => setTimeout(loadGame));
    window.addEventListener("load", () => {
      if ("serviceWorker" in navigator) {
        navigator.serviceWorker.register("service-worker.js").catch(() => {});  // then it plays online only
      }
    });
  }

  function loadGame() {
    const script = document.createElement("script");
    script.src = "tinkerspindle.js";
    script.onerror = () => failed("a file of the game did not load. Reload the page to try again.");
    document.body.append(script);
  }

  function end() {
    decoder.decode();  // nothing more comes
    announceReply();
    field.disabled = field.hidden = true;
    cue.hidden = true;
    window.removeEventListener("beforeunload", warnBeforeLeaving);
    setState("ended");
  }

  // The game's text, unless the page already shows it as its first screen.
  function write(text) {
    if (firstScreen !== "" && firstScreen.startsWith(text)) {
      firstScreen = firstScreen.slice(text.length);
      return;
    }
    if (firstScreen !== "") screen.replaceChildren();  // never so: the game wrote something else
    firstScreen = "";
    show(text);
  }

  listen();
  if (typeof WebAssembly !== "object") failed("this browser runs no WebAssembly.");

  return {
    write(pointer, length) {
      write(decoder.decode(HEAPU8.subarray(pointer, pointer + length), {stream: true}));
    },

    clear() {
      firstScreen = "";
      screen.replaceChildren();
      window.scrollTo(0, 0);
      document.body.dataset.clears = String(++clears);
    },

    async readLine(pointer, capacity) {
      announceReply();
      if (unreadBytes === null) {
        let line = typedLines.shift();
        if (line === undefined) {
          if (!inUse(field)) showField();
          setState("line");
          line = await new Promise((resolve) => { lineWanted = resolve; });
        }
        showTyped(line);
        unreadBytes = encoder.encode(line + "\n");
      }
      const count = Math.min(capacity, unreadBytes.length);
      HEAPU8.set(unreadBytes.subarray(0, count), pointer);
      unreadBytes = count < unreadBytes.length ? unreadBytes.subarray(count) : null;
      return count;
    },

    readKey() {
      announceReply();
      if (keyAhead) {  // pressed while the game loaded
        keyAhead = false;
        return Promise.resolve();
      }
      if (!inUse(cue)) showCue();
      setState("key");
      return new Promise((resolve) => { keyWanted = resolve; });
    },

    end,
    failed,
  };
})();

// tinkerspindle.js, the game, loads after this script and takes these hooks.
var Module = {
  onRuntimeInitialized() {
    Module["ccall"]("main", "number", [], [], {async: true}).then(tinkerspindlePage.end);
  },
  onAbort() {
    tinkerspindlePage.failed("a file of the game did not load. Reload the page to try again.");
  },
};
