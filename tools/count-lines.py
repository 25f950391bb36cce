#!/usr/bin/env python3
"""Counts the lines of code and of tests, and prints how big the tests are beside the code.

    tools/count-lines.py [ROOT]      (default: the folder above this script's folder)

Code is src/ and tools/, tests are tests/ (without tests/web/node_modules). Only source files
count (C++, JavaScript, Python, shell, CMake); data such as recorded inputs and traces does not.
A line counts when it holds something besides blanks and comments: // and /* */ in C++ and
JavaScript, # in Python, shell and CMake. Python docstrings count as code, on purpose: they are
the help text the script prints.
"""
import os
import re
import sys

SLASH = (".cpp", ".h", ".hpp", ".c", ".mjs", ".js")
HASH = (".py", ".sh", ".cmake", "CMakeLists.txt")
SKIP_DIRS = {"node_modules", "__pycache__"}

# A string or character literal, so that // or /* inside one is not taken for a comment.
LITERAL = re.compile(r'"(?:\\.|[^"\\])*"|\'(?:\\.|[^\'\\])*\'')


def slash_lines(text):
    count, in_block = 0, False
    for line in text.splitlines():
        rest, code = line, False
        while rest:
            if in_block:
                end = rest.find("*/")
                if end < 0:
                    rest = ""
                    break
                rest, in_block = rest[end + 2 :], False
                continue
            # Blank out literals before looking for a comment start.
            plain = LITERAL.sub(lambda m: "x" * len(m.group()), rest)
            line_at, block_at = plain.find("//"), plain.find("/*")
            starts = [i for i in (line_at, block_at) if i >= 0]
            first = min(starts) if starts else len(plain)
            if plain[:first].strip():
                code = True
            if first == line_at or not starts:
                break
            rest, in_block = rest[block_at + 2 :], True
        count += code
    return count


def hash_lines(text):
    lines = text.splitlines()
    # The #! line says how to run the script: it is not code.
    if lines and lines[0].startswith("#!"):
        lines = lines[1:]
    return sum(1 for line in lines if line.strip() and not line.strip().startswith("#"))


def count(folder):
    total = 0
    for root, dirs, files in os.walk(folder):
        dirs[:] = sorted(d for d in dirs if d not in SKIP_DIRS)
        for name in files:
            path = os.path.join(root, name)
            if name.endswith(SLASH):
                counter = slash_lines
            elif name.endswith(HASH):
                counter = hash_lines
            else:
                continue
            with open(path, encoding="utf-8", errors="replace") as f:
                total += counter(f.read())
    return total


def main():
    root = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..")
    code = sum(count(os.path.join(root, d)) for d in ("src", "tools"))
    tests = count(os.path.join(root, "tests"))
    print(f"code (src/, tools/): {code}")
    print(f"tests (tests/):      {tests}")
    print(f"ratio:               {tests / code:.2f}" if code else "ratio: no code found")


if __name__ == "__main__":
    main()
