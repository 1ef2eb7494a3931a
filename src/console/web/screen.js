// The screen: the game's text and the player's lines as typed, with the
// field or the cue after its last text; a clear empties it. The first
// screen is in the page as it arrives, and the game's first words, the
// same, take it over rather than show it twice. While a kept game is played
// again, the text gathers out of sight and shows once, whole. The
// transcript is everything shown since the game began, the player's lines
// included and a form feed for each clear, as a file of the game's output
// has them. A long game's older text moves into blocks that the browser
// lays out only when they are scrolled to, so that a screen of thousands
// of moves shows, or resumes, at once.
const gameScreen = (function () {
  "use strict";

  // The title box's frame, hidden from assistive technology, which would
  // read every asterisk out.
  const frame = /(\*+)/;
  const nodesPerBlock = 1000;

  const element = document.getElementById("screen");
  let firstScreen = element.textContent;
  let target = element;    // where text goes: the screen, or out of sight
  let clearedOutOfSight = false;
  let blocks = 0;  // of older text, at the start of the screen
  let clears = 0;
  const transcript = [];

  function appendText(text) {
    const last = target.lastChild;
    if (last && last.nodeType === Node.TEXT_NODE) {
      last.appendData(text);
    } else {
      target.appendChild(document.createTextNode(text));
    }
  }

  function appendSpan(text, attribute, value) {
    const span = document.createElement("span");
    span.setAttribute(attribute, value);
    span.textContent = text;
    target.appendChild(span);
  }

  // The game's text; gives its words, for a screen reader to hear.
  function write(text) {
    transcript.push(text);
    if (firstScreen !== "" && firstScreen.startsWith(text)) {
      firstScreen = firstScreen.slice(text.length);
      return "";
    }
    if (firstScreen !== "") element.replaceChildren();  // never so: the game wrote something else
    firstScreen = "";
    let words = "";
    for (const piece of text.split(frame)) {
      if (frame.test(piece)) {
        appendSpan(piece, "aria-hidden", "true");
      } else if (piece !== "") {
        appendText(piece);
        words += piece;
      }
    }
    return words;
  }

  // The oldest loose text, up to the end of a line, into a block of its own,
  // while more than two blocks' worth of it is loose.
  function settleOlderText() {
    while (target.childNodes.length - blocks > 2 * nodesPerBlock) {
      let last = blocks + nodesPerBlock;
      while (last > blocks && !target.childNodes[last].textContent.endsWith("\n")) --last;
      const older = document.createRange();
      older.setStartBefore(target.childNodes[blocks]);
      older.setEndAfter(target.childNodes[last]);
      const block = document.createElement("div");
      block.className = "older";
      block.append(older.extractContents());
      target.insertBefore(block, target.childNodes[blocks++]);
    }
  }

  // The player's own line, told apart from the game's text.
  function typed(line) {
    transcript.push(`${line}\n`);
    appendSpan(`${line}\n`, "class", "typed");
    settleOlderText();
  }

  // data-clears is for the tests, which wait on it; the page never reads it.
  function clear() {
    transcript.push("\f");
    firstScreen = "";
    blocks = 0;
    if (target !== element) {
      target.replaceChildren();
      clearedOutOfSight = true;
      return;
    }
    element.replaceChildren();
    window.scrollTo(0, 0);
    document.body.dataset.clears = String(++clears);
  }

  function gatherOutOfSight() {
    target = document.createDocumentFragment();
    clearedOutOfSight = false;
    blocks = 0;
  }

  function showGathered() {
    if (target === element) return;
    if (clearedOutOfSight) element.replaceChildren();
    else blocks = 0;  // never so: the kept game took the title's key, and cleared
    element.appendChild(target);
    target = element;
  }

  return {
    write, typed, clear, gatherOutOfSight, showGathered,
    transcript: () => transcript.join(""),
  };
})();
