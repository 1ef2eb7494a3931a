// What the page keeps of the game, for as long as its tab lives: every key
// and line the game took, in order, in the tab's session storage with the
// identity of the build that took them, so that after a reload, or a tab
// the browser discarded, the page plays them again and the same game
// follows. The game knows nothing of this and cannot be saved: nothing
// leaves the browser or outlives the tab, and a new tab is a new game.
// What is kept is checked before it is played; what is not this build's,
// or not whole, is set aside and never reaches the game.
const keeper = (function () {
  "use strict";

  const inputKey = "tinkerspindle-input";
  const checkKey = "tinkerspindle-check";  // {build, digest}
  // Each line ends in a line feed; a key is a carriage return, which no line
  // holds (the field takes none, and a paste is split at each).
  const lineEnd = "\n";
  const keyPressed = "\r";
  const build = document.documentElement.dataset.build;

  let input = "";         // what the game took in this tab
  let digest = digestOf(input);
  let keeping = true;     // false once storage is refused or full, or the game ended
  let replayed = null;    // while the kept input is played again, how far it has been

  // FNV-1a, carried on as the input grows; it tells an edited or cut input.
  function digestOf(text, hash = 0x811c9dc5) {
    for (let index = 0; index < text.length; index++) {
      hash = Math.imul(hash ^ text.charCodeAt(index), 0x01000193) >>> 0;
    }
    return hash;
  }

  function storage() {
    try {
      return window.sessionStorage;
    } catch {
      return null;  // refused
    }
  }

  function forget() {
    try {
      storage()?.removeItem(inputKey);
      storage()?.removeItem(checkKey);
    } catch {
      // nothing kept, nothing to forget
    }
  }

  // Storage refused or full: the page plays on as if it kept nothing, and
  // nothing of this game is left to be resumed wrongly.
  function keep(entry) {
    if (!keeping || replayed !== null) return;
    input += entry;
    digest = digestOf(entry, digest);
    try {
      storage().setItem(inputKey, input);
      storage().setItem(checkKey, JSON.stringify({ build, digest }));
    } catch {
      keeping = false;
      forget();
    }
  }

  // The tab's kept game, if any: "none", "resuming" (its input is played
  // again) or "set aside" (another build's, cut short, or edited).
  function load() {
    let kept, check;
    try {
      kept = storage()?.getItem(inputKey) ?? null;
      check = JSON.parse(storage()?.getItem(checkKey) ?? "null");
    } catch {
      check = null;
    }
    if (kept === null && check === null) return "none";
    if (typeof kept !== "string" || check?.build !== build || check?.digest !== digestOf(kept)) {
      forget();
      return "set aside";
    }
    if (kept === "") return "none";
    input = kept;
    digest = check.digest;
    replayed = 0;
    return "resuming";
  }

  // The next kept entry, if it is of the kind the game asks for: the line,
  // or the key (the carriage return). Once none is, the replay is over, and
  // what the game takes from then on is kept after what it took before.
  function kept(kind) {
    if (replayed === null) return undefined;
    const next = replayed;
    const isKey = input[next] === keyPressed;
    const end = isKey ? next + 1 : input.indexOf(lineEnd, next) + 1;
    if (next >= input.length || isKey !== (kind === keyPressed) || end === 0) {
      replayed = null;
      input = input.slice(0, next);
      digest = digestOf(input);
      return undefined;
    }
    replayed = end;
    return input.slice(next, isKey ? end : end - lineEnd.length);
  }

  return {
    load,
    resuming: () => replayed !== null,
    keptLine: () => kept(lineEnd),
    keptKey: () => kept(keyPressed) !== undefined,
    tookLine: (line) => keep(line + lineEnd),
    tookKey: () => keep(keyPressed),
    holdsLines: () => input.includes(lineEnd),
    // The game ended: there is nothing to resume.
    end() {
      keeping = false;
      replayed = null;
      forget();
    },
    forget,
  };
})();
