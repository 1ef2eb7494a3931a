"""The page as a blind player hears it: Orca, the screen reader, with
Debian's chromium on a virtual display, keys typed into the real window by
xdotool, and everything Orca sends to speech caught by a speech-dispatcher
module that writes it down instead of saying it.

usage: check_screen_reader.py SITE_DIR CASE
       check_screen_reader.py --list

Everything the check starts runs in a session of its own (a private X
display, session bus and accessibility bus, speech-dispatcher with a null
synthesiser) and holds the session's folder in its environment or, where
it rewrites that as chromium does, in its command line: by that it is found
and ended at the end, whatever happened."""

import functools
import http.server
import os
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import threading
import time
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent.parent))
from harness import SKIP, drive, verdict  # noqa: E402

TOOLS = ["Xvfb", "xdotool", "orca", "speech-dispatcher", "dbus-daemon", "gsettings", "chromium"]
AT_SPI_LAUNCHER = "/usr/libexec/at-spi-bus-launcher"
SPEECH_MODULE = "/usr/lib/speech-dispatcher-modules/sd_generic"
# speech-dispatcher 0.11.4's modules lose track of their input's line ends
# when a read meets a line begun in an earlier read, and then speak the
# protocol's own lines: this relay hands the module each line whole.
RELAY = f"""#!{sys.executable}
import subprocess, sys
module = subprocess.Popen([{SPEECH_MODULE!r}, *sys.argv[1:]], stdin=subprocess.PIPE)
for line in sys.stdin.buffer:
    module.stdin.write(line)
    module.stdin.flush()
"""
QUIET_SECONDS = 2.5   # nothing more spoken for so long: Orca has said its piece
SPEECH_LIMIT = 30.0   # the longest a step may take to be spoken

WAIT = "Press any key to go on"
TITLE = "Tinkerspindle by Quillbramblewood"
MENU = "Main Menu:"
INTRODUCTION = "Welcome to Tinkerspindle!"
RULES = "BEWARE! YOU CAN'T SAVE YOUR GAME!"
WORKSHOP = "You are in a workshop in the center of the junkyard."
# What Orca says when a letter meant for the game was one of its own
# browse-mode commands, or the page lost track of the focus.
BROWSE_MODE = re.compile(r"^No more |^Wrapping to |not found\.$|^Browse mode$")

# A play-through: what is typed (xdotool key names), then what must be
# spoken, in that order, before the next step (WAIT, where a wait begins,
# once), and what must not be. Nothing said is Orca's own browse-mode command.
PLAY_THROUGH = [
    ("Return", [MENU]),
    ("i Return", [INTRODUCTION, "Press enter to return to the menu.", WAIT]),
    ("Return", [MENU]),
    ("r Return", ["How to Play:", RULES, WAIT]),
    ("space", [MENU]),
    ("p Return", [WORKSHOP]),
    ("t a l k Return", ["On your mark...get set...go!"]),
    ("n Return", ["You are in a pile of stinking refuse."]),
    ("g e t Return", ["What do you wish to get?"]),
    ("p l a s t e r Return", ["You pick it up and take it with you."]),
    ("s Return", [WORKSHOP]),
    # reloaded, the game is resumed where it stood, and only that is heard
    ("F5", []),
    ("Return", ["Game resumed.", WORKSHOP], [TITLE, "On your mark"]),
    ("i n v Return", ["You are carrying:", "plaster", "Press enter to return to game.", WAIT]),
    ("x", [WORKSHOP]),
    ("x y z z y Return", [WORKSHOP]),
    ("x y z z y Return", [WORKSHOP]),  # the same reply as the last: spoken all the same
    # the shortest win from here, to its end: the ending's second wait is announced too
    ("s Return g e t Return k n i f e Return e Return g e t Return s a w Return n Return "
     "g e t Return p a p e r Return n Return g e t Return p a i n t Return", ["You pick it up"]),
    ("w Return w Return c l i m b Return c u t Return s a w Return c l i m b Return s Return "
     "s Return g e t Return r a i n c o a t Return n Return e Return m a k e Return "
     "l i m b Return k n i f e Return p l a s Return", ["What item"]),
    ("p a p e r Return", ["You have won!", WAIT]),
    ("x", ["To quit game, close window.", WAIT]),
    ("x", ["You are at your workbench"]),
]
FRESH_LOADS = 3
UP_TO_THE_INTRODUCTION = PLAY_THROUGH[:2]


class Failure(Exception):
    pass


class Session:
    """A virtual display with Orca running and the site served on loopback."""

    def __init__(self, site):
        self.home = Path(tempfile.mkdtemp(prefix="tinkerspindle-orca-"))
        self.speech = self.home / "speech.txt"
        self.environment = self.private_environment()
        self.server = self.serve(site)
        self.address = f"http://127.0.0.1:{self.server.server_port}/"
        self.browser = None

    def private_environment(self):
        environment = {key: os.environ[key] for key in ("PATH", "LANG") if key in os.environ}
        for name in ("home", "runtime", "config", "data", "cache"):
            (self.home / name).mkdir(mode=0o700)
        environment.update(HOME=str(self.home / "home"), XDG_RUNTIME_DIR=str(self.home / "runtime"),
                           XDG_CONFIG_HOME=str(self.home / "config"),
                           XDG_DATA_HOME=str(self.home / "data"),
                           XDG_CACHE_HOME=str(self.home / "cache"),
                           NO_AT_BRIDGE="0", GTK_A11Y="atspi")
        # No sound card: the speech goes to a synthesiser that says nothing,
        # and libao to its null driver.
        speech = self.home / "config" / "speech-dispatcher"
        (speech / "modules").mkdir(parents=True)
        relay = self.home / "relay"
        relay.write_text(RELAY)
        relay.chmod(0o700)
        (speech / "speechd.conf").write_text(
            f'AddModule "silent" "{relay}" "silent.conf"\nDefaultModule silent\n'
            'AudioOutputMethod "libao"\n')
        (speech / "modules" / "silent.conf").write_text(
            f'GenericExecuteSynth "printf \'%s\\\\n\' \\"$DATA\\" >> {self.speech}"\n'
            'GenericLanguage "en" "en" "utf-8"\nAddVoice "en" "MALE1" "en"\n')
        (self.home / "home" / ".libao").write_text("default_driver=null\n")
        return environment

    def serve(self, site):
        handler = functools.partial(QuietHandler, directory=site)
        server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), handler)
        threading.Thread(target=server.serve_forever, daemon=True).start()
        return server

    def start(self, *command, **options):
        return subprocess.Popen(command, env=self.environment, stdin=subprocess.DEVNULL,
                                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, **options)

    def start_desktop(self):
        # Xvfb takes a free display and, once it is up, writes its number.
        reading, writing = os.pipe()
        self.start("Xvfb", "-displayfd", str(writing), "-screen", "0", "1280x1024x24",
                   "-nolisten", "tcp", pass_fds=(writing,))
        os.close(writing)
        with os.fdopen(reading) as display:
            self.environment["DISPLAY"] = ":" + display.readline().strip()
        bus = subprocess.run(["dbus-daemon", "--session", "--fork", "--print-address=1"],
                             env=self.environment, capture_output=True, text=True, check=True)
        self.environment["DBUS_SESSION_BUS_ADDRESS"] = bus.stdout.strip()
        self.start(AT_SPI_LAUNCHER, "--launch-immediately")
        self.run("gsettings", "set", "org.gnome.desktop.interface", "toolkit-accessibility", "true")
        self.start("speech-dispatcher", "--spawn", "--timeout", "0")
        await_condition((self.home / "runtime/speech-dispatcher/speechd.sock").exists,
                        "speech-dispatcher never started")
        # Now and then Orca starts without a word: then it is started again.
        for _ in range(2):
            self.start("orca", "--replace")
            if within(30, lambda: "Screen reader on." in "".join(self.spoken_since(0)[1])):
                return
        raise Failure("Orca never said it was on")

    def run(self, *command):
        return subprocess.run(command, env=self.environment, capture_output=True, text=True,
                              check=False)

    def spoken_since(self, offset):
        """The speech's length now, and the lines spoken since offset."""
        try:
            with open(self.speech, "rb") as speech:
                speech.seek(offset)
                text = speech.read()
        except FileNotFoundError:
            return offset, []
        complete = text[:text.rfind(b"\n") + 1]
        return offset + len(complete), complete.decode(errors="replace").splitlines()

    def speech_after(self, action, awaited=""):
        """What Orca says after the action, once it has said the awaited
        phrase and been quiet a while: on a busy machine it may start late."""
        offset, _ = self.spoken_since(0)
        action()
        said, last, deadline = [], time.monotonic(), time.monotonic() + SPEECH_LIMIT
        while ((time.monotonic() - last < QUIET_SECONDS or awaited not in heard(said))
               and time.monotonic() < deadline):
            time.sleep(0.2)
            offset, new = self.spoken_since(offset)
            if new:
                said += new
                last = time.monotonic()
        return said

    def open_page(self):
        """A fresh browser showing the page; what was spoken as it loaded."""
        if self.browser:  # what Orca says of a browser going away is not the new page's
            self.speech_after(lambda: (self.browser.kill(), self.browser.wait()))
        profile = tempfile.mkdtemp(dir=self.home)

        def launch():
            self.browser = self.start(
                "chromium", "--no-sandbox", "--force-renderer-accessibility", "--disable-gpu",
                "--disable-quic", "--no-first-run", "--disable-background-networking",
                "--disable-component-update", "--disable-sync", "--password-store=basic",
                f"--user-data-dir={profile}", "--window-position=0,0", "--window-size=1200,900",
                self.address)
            await_condition(lambda: self.window() is not None, "chromium showed no window",
                            seconds=60)
        return self.speech_after(launch, WAIT)

    def window(self):
        found = self.run("xdotool", "search", "--onlyvisible", "--name", "Tinkerspindle")
        return found.stdout.split()[0] if found.returncode == 0 and found.stdout.split() else None

    def keys(self, keys, awaited=""):
        """What Orca says after the keys, typed into the page's window."""
        window = self.window()
        return self.speech_after(lambda: self.run("xdotool", "windowfocus", "--sync", window,
                                                  "key", "--delay", "120", *keys.split()), awaited)

    def close(self):
        self.server.shutdown()
        end_marked(str(self.home))
        shutil.rmtree(self.home, ignore_errors=True)


class QuietHandler(http.server.SimpleHTTPRequestHandler):
    extensions_map = {".wasm": "application/wasm", ".js": "text/javascript",
                      ".webmanifest": "application/manifest+json", ".svg": "image/svg+xml"}

    def log_message(self, *arguments):
        pass


def within(seconds, condition):
    deadline = time.monotonic() + seconds
    while not condition():
        if time.monotonic() > deadline:
            return False
        time.sleep(0.2)
    return True


def await_condition(condition, failure, seconds=20.0):
    if not within(seconds, condition):
        raise Failure(failure)


def end_marked(mark):
    """Ends, by process id, every process whose environment or command line
    holds the mark."""
    for attempt in (signal.SIGTERM, signal.SIGKILL):
        for process in Path("/proc").glob("[0-9]*"):
            try:
                if any(mark.encode() in (process / part).read_bytes()
                       for part in ("environ", "cmdline")):
                    os.kill(int(process.name), attempt)
            except (OSError, ValueError):
                pass
        time.sleep(0.5)


def heard(said):
    """The lines spoken as one text: a long text is spoken in several pieces,
    and a quote comes escaped for the shell."""
    return re.sub(r"\s+", " ", " ".join(said)).replace("'\\''", "'")


def expect(condition, failure, spoken):
    if not condition:
        raise Failure(f"{failure}\n--- spoken:\n{spoken}")


def expect_spoken(said, expected, step, unspoken=()):
    """The phrases spoken in order, each wait once, none unspoken, no
    browse-mode command."""
    spoken = heard(said)
    position = 0
    for phrase in expected:
        found = spoken.find(phrase, position)
        expect(found >= 0, f"after {step!r}, never spoken (in this order): {phrase!r}", spoken)
        position = found + len(phrase)
    waits = spoken.count(WAIT)
    expect(waits == expected.count(WAIT), f"after {step!r}, the wait spoken {waits} times", spoken)
    for phrase in unspoken:
        expect(phrase not in spoken, f"after {step!r}, spoken: {phrase!r}", spoken)
    for line in said:
        expect(not BROWSE_MODE.search(line), f"after {step!r}, Orca in browse mode: {line!r}", spoken)


def expect_loaded(said):
    """The title once, and its wait announced once."""
    spoken = heard(said)
    titles = spoken.count(TITLE)
    expect(titles == 1, f"the title spoken {titles} times on load", spoken)
    expect_spoken(said, [WAIT], "the page's load")


def play(session, steps):
    expect_loaded(session.open_page())
    for keys, expected, *unspoken in steps:
        expect_spoken(session.keys(keys, expected[-1] if expected else ""), expected, keys, *unspoken)


CASES = {
    "play_through": lambda session: play(session, PLAY_THROUGH),
    "fresh_loads": lambda session: [play(session, UP_TO_THE_INTRODUCTION) for _ in range(FRESH_LOADS)],
}


def main(site, case):
    missing = [tool for tool in TOOLS if shutil.which(tool) is None]
    missing += [path for path in (AT_SPI_LAUNCHER, SPEECH_MODULE) if not Path(path).exists()]
    if missing:
        print(f"SKIP: the screen reader's test needs {', '.join(missing)}")
        return SKIP
    session = Session(site)

    def listen_and_play():
        session.start_desktop()
        CASES[case](session)
    try:
        return verdict(case, listen_and_play, Failure)
    finally:
        session.close()


if __name__ == "__main__":
    drive(main, list=CASES)
