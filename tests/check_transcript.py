"""One transcript test: runs the game on NAME.in and compares every byte of
its standard output with NAME.out, and its exit status with 0.

usage: check_transcript.py PROGRAM NAME.in [WRAPPER ARGUMENTS...]

A wrapper runs the program under it: valgrind, wine, or the browser's
driver, which plays the site into a page. Whatever it reports on standard
error fails the test; a wrapper that cannot play a scenario says why and
ends with the status that skips it."""

import sys
from pathlib import Path

from harness import SKIP, describe_difference, read_scenario, run_game


def main(program, scenario_path, *wrapper):
    scenario_path = Path(scenario_path)
    purpose, typed = read_scenario(scenario_path)
    expected = scenario_path.with_suffix(".out").read_bytes()
    result = run_game([*wrapper, program], typed)
    if wrapper and result.returncode != 0 and not result.stdout and not result.stderr:
        # The game always prints its title first: the wrapper (wine) never
        # started it. Seen once in a while on a fresh wine prefix.
        print("the wrapper ran nothing; once more")
        result = run_game([*wrapper, program], typed)
    if wrapper and result.returncode == SKIP:
        print(f"{result.stdout.decode(errors='replace').strip()} {scenario_path.stem}")
        return SKIP
    failures = []
    if result.returncode != 0:
        failures.append(f"exit status {result.returncode}, expected 0")
    if result.stdout != expected:
        failures.append(describe_difference(expected, result.stdout))
    if result.stderr:
        failures.append("standard error:\n" + result.stderr.decode(errors="replace"))
    if failures:
        print(f"FAIL {scenario_path.stem}: {purpose}")
        print("\n".join(failures))
        return 1
    print(f"ok {scenario_path.stem}: {purpose}")
    return 0


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:]))
