// The page side of the web console (web/platform.cpp calls write, clear,
// readLine and readKey): the screen holds the game's text and the lines the
// player typed, the input field takes lines with the browser's editing and
// a history for Up and Down, and any key or tap ends a key wait. The page
// starts the game once the WebAssembly is ready, and takes no more input
// once the game has ended.
var tinkerspindlePage = (function () {
  "use strict";

  const historyLength = 100;  // lines kept for Up and Down, in memory only
  const characterKey = 1;     // what readKey answers; web/platform.cpp knows them
  const twoPartKey = 2;
  const twoPartKeys = new Set(["ArrowUp", "ArrowDown", "ArrowLeft", "ArrowRight", "Home", "End",
                               "Insert", "Delete", "PageUp", "PageDown"]);
  // Keys whose names are words but which type a character on a console.
  const characterKeys = new Set(["Enter", "Tab", "Backspace", "Escape"]);

  const decoder = new TextDecoder();
  const encoder = new TextEncoder();
  let screen = null;
  let field = null;
  const typedLines = [];   // entered, not yet read
  let unreadBytes = null;  // the rest of a line longer than the reader asked for
  let lineWanted = null;   // resolves the read waiting for a line
  let keyWanted = null;    // resolves the key wait
  const history = [];
  let historyPosition = 0;
  let draft = "";
  let clears = 0;

  // data-state (loading, busy, line, key, ended) and data-clears are for the
  // tests, which wait on them; the page itself never reads them.
  function setState(state) { document.body.dataset.state = state; }

  function append(text, className) {
    if (text === "") return;
    const last = screen.lastChild;
    if (!className && last && last.nodeType === Node.TEXT_NODE) {
      last.appendData(text);
    } else if (className) {
      const span = document.createElement("span");
      span.className = className;
      span.textContent = text;
      screen.appendChild(span);
    } else {
      screen.appendChild(document.createTextNode(text));
    }
    field.scrollIntoView({block: "nearest"});
  }

  function keyKind(event) {
    const key = event.key;
    if (twoPartKeys.has(key) || /^F[0-9]+$/.test(key)) return twoPartKey;
    if ([...key].length === 1 || characterKeys.has(key)) return characterKey;
    return 0;  // Shift, Ctrl, Alt, Meta, Caps Lock and the like alone
  }

  function endKeyWait(kind) {
    const resolve = keyWanted;
    keyWanted = null;
    setState("busy");
    resolve(kind);
  }

  function remember(line) {
    if (line !== "" && line !== history[history.length - 1]) history.push(line);
    if (history.length > historyLength) history.shift();
    historyPosition = history.length;
    draft = "";
  }

  function enter(line) {
    append(line + "\n", "typed");
    remember(line);
    if (lineWanted) {
      const resolve = lineWanted;
      lineWanted = null;
      setState("busy");
      resolve(line);
    } else {
      typedLines.push(line);
    }
  }

  function recall(step) {
    const position = historyPosition + step;
    if (position < 0 || position > history.length) return;
    if (historyPosition === history.length) draft = field.value;
    historyPosition = position;
    field.value = position === history.length ? draft : history[position];
    field.setSelectionRange(field.value.length, field.value.length);
  }

  function onKeyDown(event) {
    if (keyWanted) {
      const kind = keyKind(event);
      if (kind) {
        event.preventDefault();
        event.stopPropagation();  // the game goes on at once; the key must not land in the field
        endKeyWait(kind);
      }
      return;
    }
    if (event.target !== field) return;
    if (event.key === "Enter") {
      event.preventDefault();
      const line = field.value;
      field.value = "";
      enter(line);
    } else if (event.key === "ArrowUp" || event.key === "ArrowDown") {
      event.preventDefault();
      recall(event.key === "ArrowUp" ? -1 : 1);
    }
  }

  // Keyboards that name no key (Android's say "Unidentified") still type.
  function onInput() {
    if (!keyWanted) return;
    field.value = "";
    endKeyWait(characterKey);
  }

  function onPaste(event) {
    const pasted = event.clipboardData.getData("text");
    if (!/[\r\n]/.test(pasted)) return;
    event.preventDefault();
    const before = field.value.slice(0, field.selectionStart);
    const lines = (before + pasted).split(/\r?\n|\r/);
    field.value = lines.pop() + field.value.slice(field.selectionEnd);
    for (const line of lines) enter(line);
  }

  function onPointerDown(event) {
    if (keyWanted && event.pointerType !== "mouse") {
      event.preventDefault();
      endKeyWait(characterKey);
    }
  }

  // A click brings the field (and a phone's keyboard) up, unless it made a selection.
  function onClick() {
    if (!field.disabled && window.getSelection().isCollapsed) field.focus();
  }

  function start() {
    screen = document.getElementById("screen");
    field = document.getElementById("line");
    document.addEventListener("keydown", onKeyDown, true);
    document.addEventListener("pointerdown", onPointerDown, true);
    document.addEventListener("click", onClick);
    field.addEventListener("input", onInput);
    field.addEventListener("paste", onPaste);
    field.focus();
    setState("busy");
  }

  function end() {
    decoder.decode();  // nothing more comes
    field.disabled = true;
    field.blur();
    setState("ended");
  }

  return {
    write(pointer, length) {
      append(decoder.decode(HEAPU8.subarray(pointer, pointer + length), {stream: true}));
    },

    clear() {
      screen.replaceChildren();
      window.scrollTo(0, 0);
      document.body.dataset.clears = String(++clears);
    },

    async readLine(pointer, capacity) {
      if (unreadBytes === null) {
        let line = typedLines.shift();
        if (line === undefined) {
          setState("line");
          line = await new Promise((resolve) => { lineWanted = resolve; });
        }
        unreadBytes = encoder.encode(line + "\n");
      }
      const count = Math.min(capacity, unreadBytes.length);
      HEAPU8.set(unreadBytes.subarray(0, count), pointer);
      unreadBytes = count < unreadBytes.length ? unreadBytes.subarray(count) : null;
      return count;
    },

    readKey() {
      setState("key");
      return new Promise((resolve) => { keyWanted = resolve; });
    },

    start,
    end,
  };
})();

Module["onRuntimeInitialized"] = function () {
  tinkerspindlePage.start();
  Module["ccall"]("main", "number", [], [], {async: true}).then(tinkerspindlePage.end);
};
