#!/usr/bin/env python3
"""Lists which folder of src/ includes which, and fails on any cycle between folders.

    tools/folder-deps.py [SRC]      (default: src/ beside this script's folder)

Each line is a folder and the folders its files include, lowest layers first (a folder's
includes are all above it in the list). Two folders that include each other, directly or
round a longer loop, are printed as a cycle and the exit status is 1.
"""
import os
import re
import sys

src = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..", "src")
include = re.compile(r'^\s*#\s*include\s+"([^"/]+)/')

edges = {}
for root, _, files in os.walk(src):
    rel = os.path.relpath(root, src)
    folder = rel.split(os.sep)[0]
    if folder == ".":
        continue
    for name in files:
        if not name.endswith((".h", ".cpp")):
            continue
        with open(os.path.join(root, name), encoding="utf-8") as f:
            for line in f:
                m = include.match(line)
                if m and m.group(1) != folder and os.path.isdir(os.path.join(src, m.group(1))):
                    edges.setdefault(folder, set()).add(m.group(1))
        edges.setdefault(folder, set())

# Lowest layers first; a folder left over sits on a cycle.
order, placed = [], set()
while len(placed) < len(edges):
    ready = sorted(f for f in edges if f not in placed and edges[f] <= placed)
    if not ready:
        break
    order += ready
    placed.update(ready)
for folder in order:
    print(f"{folder:10} -> {' '.join(sorted(edges[folder])) or '(nothing)'}")
left = sorted(set(edges) - placed)
if left:
    print("cycle among: " + " ".join(left))
    for folder in left:
        print(f"  {folder} -> {' '.join(sorted(edges[folder] & set(left)))}")
    sys.exit(1)
