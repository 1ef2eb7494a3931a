// The page side of the web console: web/platform.cpp calls write, clear,
// readLine and readKey. The page starts the game's main once the
// WebAssembly is ready, plays again the game its tab kept before the
// player's first key is taken, and takes no more input once the game has
// ended. This script and those before it (the screen, what is announced,
// the waits, what is kept) are in index.html, which also holds the game's
// first screen: from the page's first moment the title's wait is on and
// every key is kept, while tinkerspindle.js loads the game once the first
// frame is drawn.
var tinkerspindlePage = (function () {
  "use strict";

  const resumedWords = "Game resumed.";
  const setAsideWords = "The game this tab kept could not be resumed, so a new game has begun.";
  const decoder = new TextDecoder();
  const encoder = new TextEncoder();
  let unreadBytes = null;  // the rest of a line longer than the reader asked for
  let resuming = false;    // the tab's kept game is being played again
  let underWay = false;    // a line has been entered: closing the tab loses the game

  function failed(reason) {
    const failure = document.getElementById("failure");
    failure.textContent = `Tinkerspindle could not start: ${reason}`;
    failure.hidden = false;
    document.body.classList.remove("resuming");
    waits.close();
  }

  function notice(words) {
    const line = document.getElementById("notice");
    line.textContent = words;
    line.hidden = false;
  }

  function warnBeforeLeaving(event) {
    event.preventDefault();
    event.returnValue = "";  // the game cannot be saved; only a reload resumes it
  }

  function guardLeaving(guarded) {
    underWay = guarded;
    if (guarded) window.addEventListener("beforeunload", warnBeforeLeaving);
    else window.removeEventListener("beforeunload", warnBeforeLeaving);
  }

  // Once the kept game has been played again: the screen as it stood, and
  // true, once. The reply standing last is then told with the news.
  function resumedNow() {
    if (!resuming || keeper.resuming()) return false;
    resuming = false;
    gameScreen.showGathered();
    document.body.classList.remove("resuming");
    if (keeper.holdsLines()) guardLeaving(true);
    return true;
  }

  function withNews(reply) { return `${resumedWords} ${reply}`.trim(); }

  async function takeLine() {
    const kept = keeper.keptLine();
    if (kept !== undefined) {
      announcer.take();
      return kept;
    }
    const resumed = resumedNow();
    announcer.say(resumed ? withNews(announcer.take()) : announcer.take());
    const line = await waits.line(resumed);
    keeper.tookLine(line);
    return line;
  }

  // New game: what closing the window and opening it again would do, asked
  // first when a game is under way.
  function newGame() {
    if (underWay && !window.confirm("Start a new game? This game will be lost.")) return;
    keeper.end();
    guardLeaving(false);
    location.reload();
  }

  // The transcript as a UTF-8 text file, named for the game and the day.
  function saveTranscript() {
    const today = new Date();
    const day = [today.getFullYear(), today.getMonth() + 1, today.getDate()]
      .map((part) => String(part).padStart(2, "0")).join("-");
    const link = document.createElement("a");
    link.href = URL.createObjectURL(new Blob([gameScreen.transcript()], {type: "text/plain;charset=utf-8"}));
    link.download = `tinkerspindle-${day}.txt`;
    link.click();
    setTimeout(() => URL.revokeObjectURL(link.href), 1000);
  }

  function loadGame() {
    const script = document.createElement("script");
    script.src = "tinkerspindle.js";
    script.onerror = () => failed("a file of the game did not load. Reload the page to try again.");
    document.body.append(script);
  }

  function start() {
    waits.listen(() => guardLeaving(true));
    const kept = keeper.load();
    if (kept === "resuming") {
      resuming = true;
      document.body.classList.add("resuming");
      waits.setState("resuming");
      gameScreen.gatherOutOfSight();
    } else if (kept === "set aside") {
      notice(setAsideWords);
    }
    document.getElementById("new-game").addEventListener("click", newGame);
    document.getElementById("save-transcript").addEventListener("click", saveTranscript);
    // Neither the game's start nor the service worker's holds back the first frame.
    requestAnimationFrame(() => setTimeout(loadGame));
    window.addEventListener("load", () => {
      if ("serviceWorker" in navigator) {
        navigator.serviceWorker.register("service-worker.js").catch(() => {});  // then it plays online only
      }
    });
  }

  start();
  if (typeof WebAssembly !== "object") failed("this browser runs no WebAssembly.");

  return {
    write(pointer, length) {
      const text = decoder.decode(HEAPU8.subarray(pointer, pointer + length), {stream: true});
      announcer.heard(gameScreen.write(text));
      if (!resuming) waits.keepInView();
    },

    clear: gameScreen.clear,

    async readLine(pointer, capacity) {
      if (unreadBytes === null) {
        const line = await takeLine();
        gameScreen.typed(line);
        if (!resuming) waits.keepInView();
        unreadBytes = encoder.encode(line + "\n");
      }
      const count = Math.min(capacity, unreadBytes.length);
      HEAPU8.set(unreadBytes.subarray(0, count), pointer);
      unreadBytes = count < unreadBytes.length ? unreadBytes.subarray(count) : null;
      return count;
    },

    readKey() {
      if (keeper.keptKey()) {
        waits.keyKept();
        announcer.take();
        return Promise.resolve();
      }
      const resumed = resumedNow();
      const reply = announcer.take();
      return waits.key(resumed ? withNews(reply) : reply, resumed).then(keeper.tookKey);
    },

    end() {
      decoder.decode();  // nothing more comes
      announcer.reply();
      waits.close("ended");
      keeper.end();
      guardLeaving(false);
    },

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
