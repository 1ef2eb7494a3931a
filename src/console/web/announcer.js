// What a screen reader hears: each of the game's replies once, whole, in
// the order the screen shows it. A reply before a prompt goes to a polite
// live region when the game asks for the line; a reply before a key wait
// is the first words of the wait's own name, so that it is heard before the
// wait is, never after. A screen reader reads the pieces of a reply in an
// order of its own, so a reply is only told once the game has written it.
const announcer = (function () {
  "use strict";

  const announcedMilliseconds = 2000;  // a screen reader has the text from the moment it came
  const region = document.getElementById("announcer");
  let words = "";  // of the reply being written
  let oddReply = false;
  let pendingSilence = null;

  function heard(text) { words += text; }

  // The reply written since the last one was told, which is told no more.
  function take() {
    const reply = words.trim() === "" ? "" : words;
    words = "";
    return reply;
  }

  // Every other message ends in a no-break space, which nothing reads out:
  // a screen reader takes new text equal to the last as a repeat and says
  // nothing. Once read out, the messages leave, so that reading the page
  // through does not meet them twice.
  function say(message) {
    if (message === "") return;
    const paragraph = document.createElement("p");
    oddReply = !oddReply;
    paragraph.textContent = message + (oddReply ? "\u00a0" : "");
    region.append(paragraph);
    clearTimeout(pendingSilence);
    pendingSilence = setTimeout(() => region.replaceChildren(), announcedMilliseconds);
  }

  return { heard, take, say, reply: () => say(take()) };
})();
