"""Hostile input and hostile output: the game reads its input to the end and
ends with status 0, with no crash and no hang, in bounded memory.

usage: check_hostile.py PROGRAM TRANSCRIPT_DIR CASE [--no-memory-limit]"""

import itertools
import os
import random
import subprocess
import sys
import threading
import time
from pathlib import Path

GIB = 1 << 30
CHUNK = 1 << 20
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


def run(program, chunks, stdout=subprocess.PIPE, close_stdout=False, read_limit=None):
    """Runs the game on the chunks; returns (status, outcome, peak KiB)."""
    process = subprocess.Popen([program], stdin=subprocess.PIPE, stdout=stdout,
                               stderr=subprocess.PIPE, start_new_session=True,
                               preexec_fn=(lambda: os.close(1)) if close_stdout else None)
    outcome = {"read_all": True, "output": b"", "errors": b"", "peak": 0}

    def feed():
        try:
            for number, chunk in enumerate(chunks):
                process.stdin.write(chunk)
                if number % 64 == 0:
                    outcome["peak"] = max(outcome["peak"], peak_resident_kib(process.pid))
            process.stdin.flush()
            # While the game waits for more, its high-water mark covers the whole run.
            time.sleep(0.3)
            outcome["peak"] = max(outcome["peak"], peak_resident_kib(process.pid))
            process.stdin.close()
        except BrokenPipeError:
            outcome["read_all"] = False

    def drain():
        if process.stdout is None:
            return
        if read_limit is not None:
            outcome["output"] = process.stdout.read(read_limit)
            process.stdout.close()  # the reader goes away early
            return
        outcome["output"] = process.stdout.read()

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
        problems = []
        if status != 0:
            problems.append(f"exit status {status}")
        if not outcome["read_all"]:
            problems.append("the game stopped reading before its input ended")
        if outcome["errors"]:
            problems.append("standard error: " + outcome["errors"].decode(errors="replace")[:2000])
        if scenario is not None:
            wanted = (self.transcripts / f"{scenario}.out").read_bytes()
            if outcome["output"] != wanted:
                problems.append(f"output is not that of scenario {scenario}: "
                                f"{outcome['output'][-400:]!r}")
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


def main(program, transcripts, case, *flags):
    checks = Case(program, transcripts, memory_limit="--no-memory-limit" not in flags)
    try:
        note = getattr(checks, case)()
    except AssertionError as failure:
        print(f"FAIL {case}: {failure}")
        return 1
    print(f"ok {case}: {note}")
    return 0


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:]))
