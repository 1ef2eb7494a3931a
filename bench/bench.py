"""Measures the game against the floor program and writes one table.

usage: bench.py GAME FLOOR WORKDIR RESULTS.md [WEB.json]

WEB.json holds the figures of bench/web.mjs for the browser build."""

import json
import os
import platform
import re
import statistics
import subprocess
import sys
import time
from datetime import date
from pathlib import Path

STARTUP_RUNS = 200
BUFFER = 16 * 1024  # the game's input buffer
THROUGHPUT_RUNS = 3
# Ten commands from the workshop back to it: walking, picking up (the first
# time round; later "get" is silent and "plaster" an unknown line), an
# unknown line, the inventory, and workbench passes.
CYCLE = b"n\nget\nplaster\nhello\ns\ninv\nmake\nlimb\nn\ns\n"
CYCLE_COMMANDS = CYCLE.count(b"\n")


def session(commands):
    return b"p\n" + CYCLE * (commands // CYCLE_COMMANDS)


def moves(count):
    return b"p\n" + b"n\ns\n" * (count // 2)


def spawn(argv, stdin_path, stdout_fd):
    with open(stdin_path, "rb") as stdin:
        return os.posix_spawn(argv[0], argv, os.environ, setsid=True, file_actions=[
            (os.POSIX_SPAWN_DUP2, stdin.fileno(), 0), (os.POSIX_SPAWN_DUP2, stdout_fd, 1)])


def elapsed_to_null(argv, stdin_path):
    with open(os.devnull, "wb") as null:
        start = time.perf_counter()
        pid = spawn(argv, stdin_path, null.fileno())
        os.waitpid(pid, 0)
        return time.perf_counter() - start


def elapsed_through_drained_pipe(argv, stdin_path):
    read_end, write_end = os.pipe()
    with open(os.devnull, "wb") as null:
        start = time.perf_counter()
        producer = spawn(argv, stdin_path, write_end)
        os.close(write_end)
        drain = os.posix_spawn("/bin/cat", ["cat"], os.environ, file_actions=[
            (os.POSIX_SPAWN_DUP2, read_end, 0), (os.POSIX_SPAWN_DUP2, null.fileno(), 1)])
        os.close(read_end)
        os.waitpid(producer, 0)
        os.waitpid(drain, 0)
        return time.perf_counter() - start


def syscalls(argv, stdin_path):
    """{name: calls} of the run, from strace -c -f."""
    summary = stdin_path.with_suffix(".strace")
    with open(stdin_path, "rb") as stdin, open(os.devnull, "wb") as null:
        subprocess.run(["strace", "-f", "-c", "-o", str(summary), *argv], stdin=stdin,
                       stdout=null, check=True, start_new_session=True)
    calls = {}
    for line in summary.read_text().splitlines():
        fields = line.split()
        if len(fields) >= 5 and fields[-1] != "total" and fields[3].isdigit():
            calls[fields[-1]] = int(fields[3])
    return calls


def function_calls(game, stdin_path, names):
    """How often the game calls each function, counted by callgrind."""
    profile = stdin_path.with_suffix(".callgrind")
    with open(stdin_path, "rb") as stdin, open(os.devnull, "wb") as null:
        subprocess.run(["valgrind", "--tool=callgrind", f"--callgrind-out-file={profile}", game],
                       stdin=stdin, stdout=null, stderr=subprocess.DEVNULL, check=True,
                       start_new_session=True)
    counts = dict.fromkeys(names, 0)
    names_by_id, callee = {}, None
    for line in profile.read_text().splitlines():
        # Names are given once, as "fn=(id) name" or "cfn=(id) name", then by id alone.
        match = re.match(r"(c?)fn=\((\d+)\)(?: (.*))?", line)
        if match:
            if match.group(3):
                names_by_id[match.group(2)] = match.group(3)
            callee = names_by_id.get(match.group(2), "") if match.group(1) else None
        elif line.startswith("calls=") and callee:
            for name in names:
                if callee.startswith(name + "("):
                    counts[name] += int(line.split()[0][len("calls="):])
    return counts


def reads_of_standard_input(argv, stdin_path):
    trace = stdin_path.with_suffix(".reads")
    with open(stdin_path, "rb") as stdin, open(os.devnull, "wb") as null:
        subprocess.run(["strace", "-e", "trace=read", "-o", str(trace), *argv], stdin=stdin,
                       stdout=null, check=True, start_new_session=True)
    return sum(1 for line in trace.read_text().splitlines() if line.startswith("read(0,"))


def peak_resident_kib(argv, stdin_path, runs=10):
    """The least of the runs: how many shared-library pages happen to be mapped
    varies from run to run by up to some 200 KiB, and only ever adds."""
    peaks = []
    for _ in range(runs):
        with open(stdin_path, "rb") as stdin:
            result = subprocess.run(["/usr/bin/time", "-f", "%M", *argv], stdin=stdin,
                                    stdout=subprocess.DEVNULL, stderr=subprocess.PIPE,
                                    check=True, start_new_session=True)
        peaks.append(int(result.stderr.split()[-1]))
    return min(peaks)


def floor_argv(floor, writes, size, stdin_path):
    return [floor, str(writes), str(size), str(stdin_path.read_bytes().count(b"\n"))]


def output_size(game, stdin_path):
    with open(stdin_path, "rb") as stdin:
        return len(subprocess.run([game], stdin=stdin, stdout=subprocess.PIPE, check=True,
                                  start_new_session=True).stdout)


def web_rows(figures):
    """The browser build against its floor, from bench/web.mjs."""
    rows = []
    for visit, first in (("first visit", ""), ("repeat visit, from the service worker", "Repeat")):
        game, floor = figures[f"game{first}Ms"], figures[f"floor{first}Ms"]
        rows.append((f"page, {visit}: navigation to the title box on screen, median of "
                     f"{figures['runs']} runs in headless Chromium", f"{game:.1f} ms",
                     f"{floor:.1f} ms", f"{game / floor:.2f}", "1.1"))
        rows.append((f"page, {visit}: a key pressed as the title shows, to the menu on "
                     "screen (what a player waits)", f"{figures[f'menu{first}Ms']:.1f} ms",
                     "", "", ""))
    rows.append((f"page: transfer, gzip, first visit, {figures['gameFiles']} files "
                 f"(repeat visit: {figures['repeatFiles']} files, "
                 f"{figures['repeatBytes'] / 1024:.1f} KiB)",
                 f"{figures['gameBytes'] / 1024:.1f} KiB", f"{figures['floorBytes'] / 1024:.1f} KiB",
                 "", "32 KiB"))
    for game in figures.get("kept", []):
        rows.append((f"page: a game of {game['moves']:,} moves the tab kept, resumed from "
                     f"navigation to its prompt on screen, median of {figures['runs']} runs "
                     "(bytes kept)", f"{game['ms']:.1f} ms ({game['bytes'] / 1024:.1f} KiB)",
                     "", "", "1 s (64 KiB)"))
    return rows


def main(game, floor, workdir, results_path, web_figures=None):
    work = Path(workdir)
    work.mkdir(parents=True, exist_ok=True)
    inputs = {"quit": b"q\n", "session": session(1_000_000), "calls": session(10_000),
              "calls2": session(20_000), "ten": moves(10), "million": moves(1_000_000)}
    paths = {}
    for name, data in inputs.items():
        paths[name] = work / f"{name}.in"
        paths[name].write_bytes(data)

    rows = []
    # Start-up: the title, a clear, the menu, "q". Runs alternate between the two.
    quit_writes = syscalls([game], paths["quit"]).get("write", 0)
    floor_quit = floor_argv(floor, quit_writes, output_size(game, paths["quit"]), paths["quit"])
    game_times, floor_times = [], []
    for _ in range(STARTUP_RUNS):
        game_times.append(elapsed_to_null([game], paths["quit"]))
        floor_times.append(elapsed_to_null(floor_quit, paths["quit"]))
    game_start, floor_start = statistics.median(game_times), statistics.median(floor_times)
    rows.append(("start-up, median of 200 runs on \"q\"", f"{game_start * 1e3:.3f} ms",
                 f"{floor_start * 1e3:.3f} ms", f"{game_start / floor_start:.2f}", "1.15"))

    # Throughput: a million commands, output to a drained pipe; best of three.
    # The session repeats one cycle, so its writes follow from two shorter runs.
    commands = inputs["session"].count(b"\n") - 1
    game_calls = syscalls([game], paths["calls"])
    writes_10k, writes_20k = game_calls.get("write", 0), syscalls([game], paths["calls2"]).get("write", 0)
    session_writes = writes_10k + (writes_20k - writes_10k) * (commands - 10_000) // 10_000
    floor_session = floor_argv(floor, session_writes, output_size(game, paths["session"]),
                               paths["session"])
    game_best = min(elapsed_through_drained_pipe([game], paths["session"]) for _ in range(THROUGHPUT_RUNS))
    floor_best = min(elapsed_through_drained_pipe(floor_session, paths["session"])
                     for _ in range(THROUGHPUT_RUNS))
    rows.append((f"throughput, {commands:,} commands to a drained pipe",
                 f"{commands / game_best:,.0f} commands/s", f"{commands / floor_best:,.0f} commands/s",
                 f"{game_best / floor_best:.2f}", "1.25"))

    # System calls of 10,000 commands.
    small = inputs["calls"].count(b"\n") - 1
    floor_calls_argv = floor_argv(floor, writes_10k, output_size(game, paths["calls"]), paths["calls"])
    floor_calls = syscalls(floor_calls_argv, paths["calls"])
    game_stdin_reads = reads_of_standard_input([game], paths["calls"])
    floor_stdin_reads = reads_of_standard_input(floor_calls_argv, paths["calls"])
    called = function_calls(game, paths["calls"], ["printLine", "printText"])
    # In this session printText writes only the menu, flushed by the menu's read.
    required = called["printLine"] + called["printText"]
    input_size = len(inputs["calls"])
    reads_needed = -(-input_size // BUFFER) + 1  # a buffer at a time, then the end
    rows.append((f"write calls, {small:,} commands", f"{game_calls.get('write', 0):,}",
                 f"{floor_calls.get('write', 0):,}",
                 f"required flushes: {required:,}", "one per flush"))
    rows.append((f"reads of standard input, {input_size:,} bytes",
                 f"{game_stdin_reads:,}", f"{floor_stdin_reads:,}",
                 f"{BUFFER // 1024} KiB buffers: {reads_needed}", "a buffer at a time"))
    # The loader's read of the C library's header is counted among these.
    others = {k: v for k, v in game_calls.items() if k != "write"}
    others["read"] = others.get("read", 0) - game_stdin_reads
    floor_others = {k: v for k, v in floor_calls.items() if k != "write"}
    floor_others["read"] = floor_others.get("read", 0) - floor_stdin_reads
    others = {k: v for k, v in others.items() if v}
    rows.append(("other system calls, whole run", f"{sum(others.values())}",
                 f"{sum(floor_others.values())}",
                 f"{sum(others.values()) / small:.4f} per command", "none per command"))

    # Memory.
    ten = peak_resident_kib([game], paths["ten"])
    million = peak_resident_kib([game], paths["million"])
    rows.append(("peak resident size, least of 10 runs, 10 moves / 1,000,000 moves", f"{ten:,} KiB / {million:,} KiB",
                 "", f"difference {million - ten:+,} KiB", "within 64 KiB, under 4 MiB"))

    if web_figures:
        rows += web_rows(json.loads(Path(web_figures).read_text()))

    table = ["| measure | game | floor | ratio or count | target |", "|---|---|---|---|---|"]
    table += ["| " + " | ".join(row) + " |" for row in rows]
    other_names = ", ".join(f"{k} {v}" for k, v in sorted(others.items()))
    compiler = subprocess.run(["g++", "--version"], capture_output=True, text=True).stdout.splitlines()[0]
    cpu = next((l.split(":", 1)[1].strip() for l in Path("/proc/cpuinfo").read_text().splitlines()
                if l.startswith("model name")), platform.processor())
    report = "\n".join([
        "# Benchmark results", "",
        f"Written by `bench/run` on {date.today().isoformat()}.", "",
        f"- machine: {cpu}, {os.cpu_count()} cores, {platform.system()} {platform.release()}",
        f"- compiler: {compiler}, release build, C++ runtime linked statically",
        "- floor: `bench/floor.c`, built with `cc -O2`: fgets, and the same bytes in the same "
        "number of writes as the game, spread evenly over the lines; for the page, a static page "
        "holding the same title box, served by the same loopback server", "",
        *table, "",
        f"Other system calls of the game (all at start-up and exit): {other_names}.",
        "Required flushes are counted by callgrind: every `printLine`, and the menu's",
        "`printText`, which the menu's read flushes.", ""])
    Path(results_path).write_text(report)
    print(report)


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:]))
