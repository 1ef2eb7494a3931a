"""Long games under a 256 KiB stack end with status 0 at the end of their
input: entering a place replaces the one that was running, and the menu
loops without nesting.

usage: check_bounded_stack.py PROGRAM"""

import resource
import subprocess
import sys

STACK_LIMIT = 256 * 1024
COUNT = 1_000_000

# Each case starts from the title box; "p" starts play in the workshop.
CASES = {
    "a million moves between the workshop and the refuse pile":
        b"\np\n" + b"n\ns\n" * (COUNT // 2),
    "half a million climbs up and down the tree":
        b"\np\nw\nn\n" + b"climb\nclimb\n" * (COUNT // 4),
    "half a million visits to the workbench":
        b"\np\n" + b"make\nn\ns\n" * (COUNT // 4),
    "ten thousand passes through the menu":
        b"\n" + b"ir\n" * 5000 + b"q\n",
}


def limit_stack():
    resource.setrlimit(resource.RLIMIT_STACK, (STACK_LIMIT, STACK_LIMIT))


def main(program):
    failed = 0
    for what, typed in CASES.items():
        result = subprocess.run([program], input=typed, stdout=subprocess.DEVNULL,
                                stderr=subprocess.PIPE, start_new_session=True,
                                preexec_fn=limit_stack, timeout=600, check=False)
        if result.returncode == 0:
            print(f"ok: {what}")
        else:
            failed += 1
            print(f"FAIL: {what}: exit status {result.returncode}")
            print(result.stderr.decode(errors="replace"))
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
