"""Runs the game the way the transcript tests see it: the input on a pipe,
standard output and standard error on pipes, and no keyboard to wait on (a
new session with no controlling terminal on POSIX, no console at all on
Windows), so that every key wait returns at once."""

import os
import subprocess
import sys
from pathlib import Path

HEADER_PREFIX = b"## "
SKIP = 77  # the exit status CTest counts as skipped
if os.name == "nt":
    NO_KEYBOARD = {"creationflags": subprocess.DETACHED_PROCESS}
else:
    NO_KEYBOARD = {"start_new_session": True}


def read_scenario(path):
    """Returns (what it checks, input bytes) of a scenario file NAME.in.

    Leading lines that begin with "## " are its header; the first of them
    says what the scenario checks. The rest are the bytes typed."""
    data = Path(path).read_bytes()
    header = []
    while data.startswith(HEADER_PREFIX):
        line, _, data = data.partition(b"\n")
        header.append(line[len(HEADER_PREFIX):].decode())
    if not header:
        raise ValueError(f"{path}: no '## ' header line saying what it checks")
    return header[0], data


def run_game(command, input_bytes, timeout=120, **options):
    """command: the program, or a list of the program and what runs it."""
    command = [str(part) for part in command] if isinstance(command, list) else [str(command)]
    return subprocess.run(command, input=input_bytes, stdout=subprocess.PIPE,
                          stderr=subprocess.PIPE, timeout=timeout, check=False,
                          **NO_KEYBOARD, **options)


def escape(data):
    """Bytes as text with tabs, form feeds, line ends and the like visible."""
    named = {9: "\\t", 10: "\\n\n", 12: "\\f", 13: "\\r", 92: "\\\\"}
    return "".join(named.get(b, chr(b) if 32 <= b < 127 else f"\\x{b:02x}") for b in data)


def first_difference(expected, actual):
    for offset, (want, got) in enumerate(zip(expected, actual)):
        if want != got:
            return offset
    return min(len(expected), len(actual))


def describe_difference(expected, actual, context=160):
    offset = first_difference(expected, actual)
    start = max(0, offset - context)
    return (f"output differs at byte {offset} "
            f"(expected {len(expected)} bytes, got {len(actual)})\n"
            f"--- expected from byte {start}:\n{escape(expected[start:offset + context])}\n"
            f"--- actual from byte {start}:\n{escape(actual[start:offset + context])}\n")


def drive(main, **lists):
    """A driver's entry: --list (or --list-NAME) prints those cases, one a
    line, for the build to register; otherwise main(*arguments) runs one
    case and gives the exit status."""
    option = sys.argv[1] if len(sys.argv) == 2 else ""
    if option.startswith("--list"):
        print("\n".join(lists[option[2:].replace("-", "_")]))
        sys.exit(0)
    sys.exit(main(*sys.argv[1:]))


def verdict(case, check, failures=AssertionError):
    """Runs the check and says how the case went; the exit status."""
    try:
        note = check()
    except failures as failure:
        print(f"FAIL {case}: {failure}")
        return 1
    print(f"ok {case}" + (f": {note}" if note else ""))
    return 0
