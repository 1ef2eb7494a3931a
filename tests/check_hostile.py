"""Hostile input and hostile output: the game reads its input to the end and
ends with status 0, with no crash and no hang, in bounded memory.

usage: check_hostile.py PROGRAM TRANSCRIPT_DIR CASE [--no-memory-limit]"""

import fcntl
import itertools
import os
import random
import subprocess
import sys
import threading
import time
from pathlib import Path

from harness import read_scenario

GIB = 1 << 30
CHUNK = 1 << 20
PAGE = 4096  # the smallest a pipe can be
SLOW_READ = 512
PEAK_RESIDENT_LIMIT_KIB = 8 * 1024
A_LONG_GAME = b"p\n" + b"n\ns\n" * 100_000  # far more than a pipe holds


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

    chunks may be a function of the outcome, to look at the output so far.
    A descriptor that does not block is handed over in non-blocking mode; a
    slow reader lets the output pipe, shrunk to a page, fill up first."""
    outcome = {"read_all": True, "output": bytearray(), "errors": b"", "peak": 0,
               "problems": []}
    stdin_read, stdin_write = os.pipe()
    stdout_read = None
    os.set_blocking(stdin_read, input_blocks)
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
    if callable(chunks):
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


class Case:
    def __init__(self, program, transcripts, memory_limit):
        self.program, self.transcripts, self.memory_limit = program, Path(transcripts), memory_limit

    def expect(self, chunks, scenario=None, **options):
        status, outcome, peak = run(self.program, chunks, **options)
        problems = outcome["problems"]
        if status != 0:
            problems.append(f"exit status {status}")
        if not outcome["read_all"]:
            problems.append("the game stopped reading before its input ended")
        if outcome["errors"]:
            problems.append("standard error: " + outcome["errors"].decode(errors="replace")[:2000])
        if scenario is not None:
            wanted = (self.transcripts / f"{scenario}.out").read_bytes()
            if bytes(outcome["output"]) != wanted:
                problems.append(f"output is not that of scenario {scenario}: "
                                f"{bytes(outcome['output'][-400:])!r}")
        if self.memory_limit and peak > PEAK_RESIDENT_LIMIT_KIB:
            problems.append(f"peak resident size {peak} KiB, over {PEAK_RESIDENT_LIMIT_KIB} KiB")
        if problems:
            raise AssertionError("; ".join(problems))
        return f"peak resident size {peak} KiB"

    # Output that cannot be written
    def output_to_dev_full(self):
        with open("/dev/full", "wb") as full:
            return self.expect([A_LONG_GAME], stdout=full)

    def output_closed(self):
        return self.expect([A_LONG_GAME], stdout=None, close_stdout=True)

    def output_reader_goes_away(self):
        return self.expect([A_LONG_GAME], read_limit=300)

    # Descriptors handed over as no console would
    def output_non_blocking_to_a_slow_reader(self):
        # Every byte arrives, though the pipe is full most of the time.
        return self.expect([self.typed("workbench_after_umbrella")],
                           scenario="workbench_after_umbrella",
                           output_blocks=False, slow_reader=True)

    def input_non_blocking(self):
        # The first read finds nothing yet, which is not the end of input.
        def late(outcome):
            time.sleep(0.3)
            yield self.typed("workshop_briefing")
        return self.expect(late, scenario="workshop_briefing", input_blocks=False)

    def input_in_pieces(self):
        # The menu waits for the whole line before it answers.
        menu = (self.transcripts / "menu_unknown_choice.out").read_bytes()
        menu = menu[:menu.index(b"Enter Selection:  ") + len(b"Enter Selection:  ")]

        def pieces(outcome):
            yield b"x"
            time.sleep(0.5)
            if bytes(outcome["output"]) != menu:
                outcome["problems"].append("the menu answered before the line feed: "
                                           f"{bytes(outcome['output'][len(menu) - 40:])!r}")
            yield b"\nq\n"
        return self.expect(pieces, scenario="menu_unknown_choice")

    def lines_in_pieces(self, scenario, cuts):
        # Each piece waits until the game has taken the one before.
        typed = self.typed(scenario)
        def pieces(outcome):
            for start, end in zip([0, *cuts], [*cuts, len(typed)]):
                yield typed[start:end]
                time.sleep(0.3)
        return self.expect(pieces, scenario=scenario)

    def typed(self, scenario):
        return read_scenario(self.transcripts / f"{scenario}.in")[1]

    # Input that is too long, random or odd
    def gigabyte_menu_line(self):
        # "p" starts play; the rest of its line never reaches the rooms.
        return self.expect(itertools.chain([b"p"], repeated(b"x", GIB), [b"\ninv\n"]),
                           scenario="inventory_empty")

    def gigabyte_blank_menu_line(self):
        return self.expect(itertools.chain(repeated(b" ", GIB), [b"q\n"]), scenario="menu_quit")

    def gigabyte_command_line(self):
        # The first 19 characters are kept: the line acts as "inv".
        return self.expect(itertools.chain([b"p\ninv"], repeated(b"x", GIB), [b"\n"]),
                           scenario="inventory_empty")

    def ten_megabytes_of_random_bytes(self):
        # Play first: in the rooms nothing but the end of input ends the game.
        generator = random.Random(20261208)
        return self.expect(itertools.chain([b"p\n"], (generator.randbytes(CHUNK) for _ in range(10))))


# Lines completed by a later read: cut after their first byte, in their
# middle and before their line feed, behind lines the readers already took.
LINES_IN_PIECES = {
    "menu_line_in_pieces_behind_a_line_taken": ("menu_rest_of_line", [3, 8]),
    "menu_line_cut_before_its_line_feed": ("menu_unknown_choice", [3]),
    "command_lines_in_pieces": ("workshop_briefing", [1, 8, 16]),
}


def main(program, transcripts, case, *flags):
    checks = Case(program, transcripts, memory_limit="--no-memory-limit" not in flags)
    try:
        if case in LINES_IN_PIECES:
            note = checks.lines_in_pieces(*LINES_IN_PIECES[case])
        else:
            note = getattr(checks, case)()
    except AssertionError as failure:
        print(f"FAIL {case}: {failure}")
        return 1
    print(f"ok {case}: {note}")
    return 0


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:]))
