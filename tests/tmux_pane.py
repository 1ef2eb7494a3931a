"""A terminal for tests: the game in a tmux pane of a known size, keys typed
with send-keys, the screen read with capture-pane."""

import os
import shlex
import shutil
import subprocess
import tempfile
import time
from pathlib import Path

WIDTH, HEIGHT = 100, 40
PATIENCE = 5.0  # seconds the screen may take to show what is awaited


def tmux_usable():
    if shutil.which("tmux") is None:
        return False
    probe = subprocess.run(["tmux", "-L", f"probe{os.getpid()}", "-f", "/dev/null",
                            "new-session", "-d", "true"], capture_output=True, check=False)
    subprocess.run(["tmux", "-L", f"probe{os.getpid()}", "kill-server"],
                   capture_output=True, check=False)
    return probe.returncode == 0


class Pane:
    """One tmux server with one pane running a shell command line."""

    def __init__(self, command, width=WIDTH):
        self.workdir = Path(tempfile.mkdtemp(prefix="tinkerspindle-pane-"))
        self.socket = f"tinkerspindle{os.getpid()}"
        self.last = ""  # the screen last awaited, which checks look at
        # A non-interactive shell leaves the terminal alone, so what the pane's
        # settings are afterwards is what the game left behind. The command
        # starts once every byte written to the pane is logged (written()).
        script = (f"cd {shlex.quote(str(self.workdir))} && until [ -e logged ]; do sleep 0.01; done"
                  f" && {command}; echo '<exited>'; sleep 600")
        self.tmux("new-session", "-d", "-x", str(width), "-y", str(HEIGHT),
                  "sh", "-c", script)
        self.tmux("pipe-pane", "-o", "-t", "0", f"cat > {shlex.quote(str(self.workdir / 'written'))}")
        (self.workdir / "logged").touch()

    def tmux(self, *arguments):
        return subprocess.run(["tmux", "-L", self.socket, "-f", "/dev/null", *arguments],
                              capture_output=True, text=True, check=True).stdout

    def keys(self, *keys):
        """Keys by tmux name (Enter, Up, C-c, Escape) or literal text."""
        for key in keys:
            if len(key) > 1 and not key.startswith(("C-", "M-")) and key not in TMUX_KEY_NAMES:
                self.tmux("send-keys", "-t", "0", "-l", key)
            else:
                self.tmux("send-keys", "-t", "0", key)
            time.sleep(0.05)

    def burst(self, *keys):
        """Keys by tmux name, sent together as fast typing sends them."""
        self.tmux("send-keys", "-t", "0", *keys)

    def bytes(self, data):
        """Bytes that need not be text, sent as they are."""
        self.tmux("send-keys", "-t", "0", "-H", *(f"{byte:02x}" for byte in data))

    def paste(self, text):
        """Text pasted in one piece, line feeds sent as Enter."""
        self.tmux("set-buffer", text)
        self.tmux("paste-buffer", "-t", "0")

    def line(self, text):
        self.keys(text, "Enter")

    def screen(self):
        return self.tmux("capture-pane", "-p", "-t", "0")

    def history_size(self):
        return int(self.tmux("display-message", "-p", "-t", "0", "#{history_size}"))

    def resize(self, width):
        self.tmux("resize-window", "-t", "0", "-x", str(width), "-y", str(HEIGHT))

    def wait_for(self, text, timeout=None, gone=False):
        """The screen once it shows text (or, if gone, no longer shows it);
        fails with the screen if that never happens. text may be a test of
        the screen instead."""
        shown = text if callable(text) else lambda screen: (text in screen) != gone
        deadline = time.monotonic() + (timeout or PATIENCE)
        while True:
            screen = self.last = self.screen()
            if shown(screen):
                return screen
            if time.monotonic() > deadline:
                awaited = "the screen awaited" if callable(text) else repr(text)
                raise AssertionError(f"never {'gone' if gone else 'shown'}: {awaited}\n"
                                     f"--- screen:\n{screen}")
            time.sleep(0.05)

    def stays(self, text, seconds=0.5):
        """Fails unless the screen still shows text after a while."""
        time.sleep(seconds)
        screen = self.last = self.screen()
        if text not in screen:
            raise AssertionError(f"no longer shown: {text!r}\n--- screen:\n{screen}")
        return screen

    def terminal_settings(self):
        """stty -a of the pane's terminal, read from outside."""
        tty = self.tmux("display-message", "-p", "-t", "0", "#{pane_tty}").strip()
        return subprocess.run(["stty", "-a", "-F", tty], capture_output=True, text=True,
                              check=True).stdout

    def written(self):
        """Every byte written to the pane so far."""
        return (self.workdir / "written").read_bytes()

    def file(self, name):
        return (self.workdir / name).read_text()

    def close(self):
        subprocess.run(["tmux", "-L", self.socket, "kill-server"], capture_output=True, check=False)
        shutil.rmtree(self.workdir, ignore_errors=True)


TMUX_KEY_NAMES = {"Enter", "Escape", "Space", "BSpace", "Up", "Down", "Left", "Right",
                  "Home", "End", "IC", "DC", "PPage", "NPage", "Tab",
                  "F1", "F2", "F3", "F4", "F5", "F6", "F7", "F8", "F9", "F10", "F11", "F12"}
