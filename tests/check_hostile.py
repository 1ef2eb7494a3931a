"""Hostile input and hostile output: the game reads its input to the end and
ends with status 0, with no crash and no hang, in bounded memory.

usage: check_hostile.py PROGRAM TRANSCRIPT_DIR CASE [--no-memory-limit]
       check_hostile.py --list"""

import collections
import fcntl
import os
import random
import subprocess
import sys
import threading
import time
from pathlib import Path

from harness import drive, read_scenario, verdict

GIB = 1 << 30
CHUNK = 1 << 20
PAGE = 4096  # the smallest a pipe can be
SLOW_READ = 512
PEAK_RESIDENT_LIMIT_KIB = 8 * 1024
A_LONG_GAME = b"p\n" + b"n\ns\n" * 100_000  # far more than a pipe holds
MENU_PROMPT = b"Enter Selection:  "


def repeated(byte, count):
    for _ in range(count // CHUNK):
        yield byte * CHUNK
    yield byte * (count % CHUNK)


def peak_resident_kib(pid):
    """The high-water mark of the process's resident size, in KiB."""
    try:
        status = Path(f"/proc/{pid}/status").read_text()
    except OSError:
        return 0
    return next((int(line.split()[1]) for line in status.splitlines()
                 if line.startswith("VmHWM:")), 0)


def run(program, chunks, stdout=subprocess.PIPE, close_stdout=False, read_limit=None,
        input_blocks=True, output_blocks=True, slow_reader=False):
    """Runs the game on the chunks; returns (status, outcome, peak KiB).

    chunks is a function of the outcome, to look at the output so far, that
    gives the pieces of input; stdout may be a path. A descriptor that does
    not block is handed over in non-blocking mode; a slow reader lets the
    output pipe, shrunk to a page, fill up first."""
    outcome = {"read_all": True, "output": bytearray(), "errors": b"", "peak": 0,
               "problems": []}
    stdin_read, stdin_write = os.pipe()
    stdout_read = None
    os.set_blocking(stdin_read, input_blocks)
    if isinstance(stdout, str):
        stdout = os.open(stdout, os.O_WRONLY)
    if stdout is subprocess.PIPE:
        stdout_read, stdout = os.pipe()
        fcntl.fcntl(stdout, fcntl.F_SETPIPE_SZ, PAGE)
        os.set_blocking(stdout, output_blocks)
    process = subprocess.Popen([program], stdin=stdin_read, stdout=stdout,
                               stderr=subprocess.PIPE, start_new_session=True,
                               preexec_fn=(lambda: os.close(1)) if close_stdout else None)
    os.close(stdin_read)
    if isinstance(stdout, int):
        os.close(stdout)
    chunks = chunks(outcome)

    def feed():
        try:
            with open(stdin_write, "wb", buffering=0) as pipe:
                for number, chunk in enumerate(chunks):
                    pipe.write(chunk)
                    if number % 64 == 0:
                        outcome["peak"] = max(outcome["peak"], peak_resident_kib(process.pid))
                # While the game waits for more, its high-water mark covers the whole run.
                time.sleep(0.3)
                outcome["peak"] = max(outcome["peak"], peak_resident_kib(process.pid))
        except BrokenPipeError:
            outcome["read_all"] = False

    def drain():
        if stdout_read is None:
            return
        if slow_reader:
            time.sleep(0.5)
        with open(stdout_read, "rb", buffering=0) as pipe:
            while read_limit is None or len(outcome["output"]) < read_limit:
                chunk = pipe.read(SLOW_READ if slow_reader else CHUNK)
                if not chunk:
                    break
                outcome["output"] += chunk
                if slow_reader:
                    time.sleep(0.001)
        # leaving early: the reader goes away

    def drain_errors():
        outcome["errors"] = process.stderr.read()

    threads = [threading.Thread(target=f) for f in (feed, drain, drain_errors)]
    for thread in threads:
        thread.start()
    for thread in threads:
        thread.join(timeout=600)
    return process.wait(timeout=60), outcome, outcome["peak"]


Scenario = collections.namedtuple("Scenario", "typed wanted")


def given(*parts):
    """Chunks of input: bytes as they are, (byte, count) as count copies of byte."""
    def chunks(scenario, outcome):
        for part in parts:
            yield from repeated(*part) if isinstance(part, tuple) else [part]
    return chunks


def whole(scenario, outcome):
    yield scenario.typed


def late(scenario, outcome):
    # The first read finds nothing yet, which is not the end of input.
    time.sleep(0.3)
    yield scenario.typed


def random_bytes(scenario, outcome):
    # Play first: in the rooms nothing but the end of input ends the game.
    generator = random.Random(20261208)
    yield b"p\n"
    for _ in range(10):
        yield generator.randbytes(CHUNK)


def menu_waits_for_its_line_feed(scenario, outcome):
    menu = scenario.wanted[:scenario.wanted.index(MENU_PROMPT) + len(MENU_PROMPT)]
    yield b"x"
    time.sleep(0.5)
    if bytes(outcome["output"]) != menu:
        outcome["problems"].append("the menu answered before the line feed: "
                                   f"{bytes(outcome['output'][len(menu) - 40:])!r}")
    yield b"\nq\n"


def in_pieces(*cuts):
    """The scenario's input cut at these offsets; each piece waits until the
    game has taken the one before."""
    def chunks(scenario, outcome):
        for start, end in zip([0, *cuts], [*cuts, len(scenario.typed)]):
            yield scenario.typed[start:end]
            time.sleep(0.3)
    return chunks


# name: the scenario whose output is wanted (None: any), the input, how it is handed over.
CASES = {name: row for name, *row in [
    # Output that cannot be written
    ("output_to_dev_full", None, given(A_LONG_GAME), dict(stdout="/dev/full")),
    ("output_closed", None, given(A_LONG_GAME), dict(stdout=None, close_stdout=True)),
    ("output_reader_goes_away", None, given(A_LONG_GAME), dict(read_limit=300)),
    # Input that is too long, random or odd. "p" starts play; the rest of its
    # line never reaches the rooms. Of a command, the first 19 characters are kept.
    ("gigabyte_menu_line", "inventory_empty", given(b"p", (b"x", GIB), b"\ninv\n"), {}),
    ("gigabyte_blank_menu_line", "menu_quit", given((b" ", GIB), b"q\n"), {}),
    ("gigabyte_command_line", "inventory_empty", given(b"p\ninv", (b"x", GIB), b"\n"), {}),
    ("ten_megabytes_of_random_bytes", None, random_bytes, {}),
    # Descriptors handed over as no console would; every byte arrives, though
    # the pipe is full most of the time.
    ("output_non_blocking_to_a_slow_reader", "workbench_after_umbrella", whole,
     dict(output_blocks=False, slow_reader=True)),
    ("input_non_blocking", "workshop_briefing", late, dict(input_blocks=False)),
    # The menu waits for the whole line before it answers.
    ("input_in_pieces", "menu_unknown_choice", menu_waits_for_its_line_feed, {}),
    # Lines completed by a later read: cut after their first byte, in their
    # middle and before their line feed, behind lines the readers already took.
    ("menu_line_in_pieces_behind_a_line_taken", "menu_rest_of_line", in_pieces(3, 8), {}),
    ("menu_line_cut_before_its_line_feed", "menu_unknown_choice", in_pieces(3), {}),
    ("command_lines_in_pieces", "workshop_briefing", in_pieces(1, 8, 16), {}),
]}


def check(program, transcripts, case, memory_limit):
    name, chunks, options = CASES[case]
    scenario = name and Scenario(read_scenario(transcripts / f"{name}.in")[1],
                                 (transcripts / f"{name}.out").read_bytes())
    status, outcome, peak = run(program, lambda outcome: chunks(scenario, outcome), **options)
    problems = outcome["problems"]
    if status != 0:
        problems.append(f"exit status {status}")
    if not outcome["read_all"]:
        problems.append("the game stopped reading before its input ended")
    if outcome["errors"]:
        problems.append("standard error: " + outcome["errors"].decode(errors="replace")[:2000])
    if scenario and bytes(outcome["output"]) != scenario.wanted:
        problems.append(f"output is not that of scenario {name}: "
                        f"{bytes(outcome['output'][-400:])!r}")
    if memory_limit and peak > PEAK_RESIDENT_LIMIT_KIB:
        problems.append(f"peak resident size {peak} KiB, over {PEAK_RESIDENT_LIMIT_KIB} KiB")
    if problems:
        raise AssertionError("; ".join(problems))
    return f"peak resident size {peak} KiB"


def main(program, transcripts, case, *flags):
    return verdict(case, lambda: check(program, Path(transcripts), case,
                                       "--no-memory-limit" not in flags))


if __name__ == "__main__":
    drive(main, list=CASES)
