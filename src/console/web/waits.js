// Waits and the field. A line is typed into the field after the last text,
// with the browser's own editing and a history for Up and Down; at a key
// wait the field gives way to a cue, and only a key that types a character,
// Enter, Escape or a click ends the wait, so that every other key keeps its
// meaning in the browser. Typing reaches the field wherever the focus is in
// the page, but never takes a key or a click from the page's own controls.
const waits = (function () {
  "use strict";

  const historyLength = 100;  // lines kept for Up and Down, in memory only
  const doubleClickMilliseconds = 300;
  const waitName = "Press any key to go on";

  const field = document.getElementById("line");
  // Each wait takes the other cue, so that the focus moves at every wait and
  // a screen reader announces it, a wait right after a wait included.
  const cues = [...document.querySelectorAll(".cue")];
  let cue = cues[0];       // the last wait's
  let keyAhead = false;    // the title's wait ended before the game asked for a key
  const typedLines = [];   // entered, not yet read
  let lineWanted = null;   // resolves the read waiting for a line
  let keyWanted = null;    // resolves the key wait
  const history = [];
  let historyPosition = 0;
  let draft = "";
  let pendingClick = null;
  let entered = () => {};

  // data-state (busy, line, key, ended and, before the game runs, resuming)
  // is for the tests, which wait on it; the page itself never reads it.
  function setState(state) { document.body.dataset.state = state; }

  function inUse(element) { return !element.hidden && !element.classList.contains("leaving"); }

  // The input element in use: the field at a prompt, a cue at a key wait.
  function inputInUse() { return cues.find(inUse) ?? field; }

  function keepInView() { inputInUse().scrollIntoView({block: "nearest"}); }

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

  function showField() { moveFocus(field, inputInUse()); }

  function endKeyWait() {
    const resolve = keyWanted;
    keyWanted = null;
    // The field comes back within the key or tap that ended the wait, so that a
    // phone opens its keyboard for the line that usually follows.
    showField();
    setState("busy");
    resolve();
  }

  // A key wait. The other cue, named for the reply before it and then for
  // the wait, takes the focus; but the cue the page arrived with stays as it
  // is, since a screen reader reads the new page through by itself.
  function key(reply, resumed) {
    if (keyAhead) {  // pressed while the game loaded
      keyAhead = false;
      return Promise.resolve();
    }
    const showing = cues.find(inUse);
    if (resumed || !showing || document.activeElement === showing) {
      const next = cue === cues[0] ? cues[1] : cues[0];
      next.setAttribute("aria-label", reply === "" ? waitName : `${reply} ${waitName}`);
      moveFocus(next, showing ?? field);
      cue = next;
    }
    setState("key");
    return new Promise((resolve) => { keyWanted = resolve; });
  }

  // A kept game, played again, took the key of a wait: the title's wait, on
  // from the page's first moment, is over, and takes no key of the player's.
  function keyKept() {
    if (!keyAhead) keyWanted = null;
  }

  // A line for the game: one typed ahead, or the next entered.
  function line(resumed) {
    const ahead = typedLines.shift();
    if (ahead !== undefined) return Promise.resolve(ahead);
    if (resumed || !inUse(field)) showField();
    setState("line");
    return new Promise((resolve) => { lineWanted = resolve; });
  }

  function remember(typed) {
    if (typed !== "" && typed !== history[history.length - 1]) history.push(typed);
    if (history.length > historyLength) history.shift();
    historyPosition = history.length;
    draft = "";
  }

  function enter(typed) {
    remember(typed);
    entered();
    if (lineWanted) {
      const resolve = lineWanted;
      lineWanted = null;
      setState("busy");
      resolve(typed);
    } else {
      typedLines.push(typed);
    }
  }

  function submit() {
    const typed = field.value;
    field.value = "";
    enter(typed);
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

  // New game and Save transcript: Enter, Space and clicks there are theirs.
  function onControl(event) { return event.target instanceof Element && event.target.closest(".control"); }

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
    if (onControl(event) && (event.key === "Enter" || event.key === " ")) return;
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
    for (const typed of lines) enter(typed);
    field.focus();
  }

  // A click or tap that selects no text ends a wait, or brings the field
  // (and a phone's keyboard) up. A mouse's click ends a wait only once no
  // second click has followed it, which would make it a double click that
  // selects a word.
  function onClick(event) {
    clearTimeout(pendingClick);
    if (onControl(event) || event.detail > 1 || !window.getSelection().isCollapsed) return;
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
  function listen(onEntered) {
    entered = onEntered;
    document.addEventListener("keydown", onKeyDown, true);
    document.addEventListener("keypress", onKeyPress, true);
    document.addEventListener("click", onClick);
    document.addEventListener("paste", onPaste);
    field.addEventListener("input", keepInView);
    window.addEventListener("resize", keepInView);
    if (window.visualViewport) window.visualViewport.addEventListener("resize", keepInView);
    keyWanted = () => { keyAhead = true; };
  }

  // No more input: the game has ended, or could not start.
  function close(state) {
    field.disabled = field.hidden = true;
    for (const each of cues) each.hidden = true;
    if (state) setState(state);
  }

  return { listen, key, keyKept, line, keepInView, close, setState };
})();
