"""Runs a command that must succeed without a word, such as groff's warnings
over the manual page.

usage: check_quiet.py COMMAND ARGUMENTS..."""

import subprocess
import sys

result = subprocess.run(sys.argv[1:], capture_output=True, text=True, check=False)
if result.returncode != 0 or result.stdout or result.stderr:
    print(f"FAIL: status {result.returncode}\n{result.stdout}{result.stderr}")
    sys.exit(1)
print("ok: nothing reported")
