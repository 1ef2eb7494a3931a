"""The prefix property: the game run on the first k lines of a scenario, for
every k, ends with status 0, and what it prints is a prefix of what the whole
scenario prints. The end of input at any read ends the game at once.

usage: check_prefixes.py PROGRAM TRANSCRIPT_DIR"""

import sys
from pathlib import Path

from harness import escape, read_scenario, run_game


def line_prefixes(typed):
    """The input cut after each of its lines, the empty input first."""
    cuts = [0] + [i + 1 for i, byte in enumerate(typed) if byte == ord("\n")]
    if cuts[-1] != len(typed):
        cuts.append(len(typed))
    return [typed[:cut] for cut in cuts]


def main(program, transcript_dir):
    failures = runs = 0
    for scenario in sorted(Path(transcript_dir).glob("*.in")):
        _, typed = read_scenario(scenario)
        whole = scenario.with_suffix(".out").read_bytes()
        for prefix in line_prefixes(typed):
            runs += 1
            result = run_game(program, prefix)
            if result.returncode != 0 or not whole.startswith(result.stdout) or result.stderr:
                failures += 1
                lines = prefix.count(b"\n")
                print(f"FAIL {scenario.stem} cut after {lines} lines: "
                      f"status {result.returncode}\n{escape(result.stdout[-300:])}\n"
                      f"{result.stderr.decode(errors='replace')}")
    print(f"{runs - failures} of {runs} cut inputs ended cleanly with a prefix of the output")
    return 1 if failures or runs == 0 else 0


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:]))
