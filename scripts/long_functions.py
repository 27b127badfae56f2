#!/usr/bin/env python3
"""Lists the C++ functions longer than a limit (80 lines by default).

The sources are clang-formatted, so a function body opens with a "{" alone at
the start of a line and closes with a "}" alone at the start of a line; the
function's length runs from its signature to that closing brace. Data tables
(initialisers that end in "};") are not functions and are not counted.

    scripts/long_functions.py [--limit N] [folder ...]   (default: src)
"""
import argparse
import pathlib
import re
import sys

SIGNATURE_END = re.compile(r"\)\s*(const)?\s*(override)?\s*(noexcept)?\s*(->.*)?$")


def functions(path):
    lines = path.read_text(encoding="utf-8", errors="replace").split("\n")
    start = None
    for i, line in enumerate(lines):
        if line == "{" and i > 0:
            # The signature starts at the first line of the declaration
            # (lines above "{" up to a blank line or a line ending in ";" "}").
            j = i - 1
            if not SIGNATURE_END.search(lines[j].rstrip()) and not lines[j].rstrip().endswith(")"):
                start = None
                continue
            while j > 0 and lines[j - 1].strip() and not lines[j - 1].rstrip().endswith((";", "}", "{")) \
                    and not lines[j - 1].lstrip().startswith(("//", "#")):
                j -= 1
            start = j
        elif line == "}" and start is not None:
            name = re.sub(r"\s+", " ", " ".join(lines[start:start + 2]))[:90]
            yield start + 1, i + 1, name
            start = None


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--limit", type=int, default=80)
    parser.add_argument("folders", nargs="*", default=["src"])
    args = parser.parse_args()
    found = []
    for folder in args.folders:
        for path in sorted(pathlib.Path(folder).rglob("*.cpp")):
            for first, last, name in functions(path):
                length = last - first + 1
                if length > args.limit:
                    found.append((length, f"{path}:{first}-{last}", name))
    for length, where, name in sorted(found, reverse=True):
        print(f"{length:5} {where}  {name}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
