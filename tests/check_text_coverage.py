"""Every text the game prints appears in some expected transcript, and every
command word it knows is typed in some scenario. Lists each one that is not.

usage: check_text_coverage.py SOURCE_DIR TRANSCRIPT_DIR"""

import re
import sys
from pathlib import Path

LITERAL = re.compile(r'"((?:[^"\\\n]|\\.)*)"')
ESCAPES = {"n": "\n", "t": "\t", "\\": "\\", '"': '"', "'": "'", "f": "\f", "r": "\r"}
# Short lowercase literals are the words the rooms compare the command line with.
COMMAND_WORD = re.compile(r"[a-z]{1,4}")
# The console layer holds no game text, only terminal controls and device names.
NOT_GAME_TEXT = re.compile(r"(^|/)console/")


def unescape(literal):
    return re.sub(r"\\(.)", lambda m: ESCAPES[m.group(1)], literal)


def game_literals(source_dir):
    for path in sorted(Path(source_dir).rglob("*")):
        if path.suffix not in (".cpp", ".h") or NOT_GAME_TEXT.search(path.as_posix()):
            continue
        for number, line in enumerate(path.read_text().splitlines(), 1):
            if line.lstrip().startswith("#include"):
                continue
            code = line.split("//")[0]
            for match in LITERAL.finditer(code):
                text = unescape(match.group(1))
                if text:
                    yield f"{path.relative_to(source_dir)}:{number}", text


def main(source_dir, transcript_dir):
    transcripts = Path(transcript_dir)
    printed = b"".join(p.read_bytes() for p in transcripts.glob("*.out")).decode("latin-1")
    typed = b"".join(p.read_bytes() for p in transcripts.glob("*.in")).decode("latin-1")
    missing = []
    count = 0
    for place, text in game_literals(source_dir):
        count += 1
        if COMMAND_WORD.fullmatch(text):
            if text not in typed:
                missing.append(f"{place}: the word {text!r} is typed in no scenario")
        elif text not in printed:
            missing.append(f"{place}: the text {text!r} appears in no expected output")
    for line in missing:
        print(line)
    print(f"{count - len(missing)} of {count} texts and words covered")
    return 1 if missing or count == 0 else 0


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:]))
