#!/usr/bin/env python3
"""Keeps the dependencies of src/ running one way.

The core folders are layered, lowest first (LAYERS). A core file (src/<folder>/*.h|cpp) may
include its own folder and the folders below it, never a folder above it, never a toolkit or
operating-system folder (qt/, linux/, win32/). Front-end folders (<folder>/qt/, <folder>/win32/,
platform/linux/, src/app/) may include any core header, and no core folder may include them.
Besides the order, the folder graph must have no circle, and the program-wide state
(core/program_state.h) is seen by the composition root alone: src/core/ and src/app/.

Includes that break the order today and are still to be taken apart are listed in
tests/structure/known_upward_includes.txt ("file include" per line). A new one fails the
check; one that is gone must leave the list too, so the list only ever shrinks.

Usage: check_includes.py SRC_DIR KNOWN_LIST
"""
import os
import re
import sys

PROGRAM_STATE = "core/program_state.h"
COMPOSITION_ROOT = ("core", "app")
LAYERS = ["platform", "settings", "measure", "history", "display", "alerts", "net", "service", "core", "app"]
FRONT_ENDS = {"qt", "linux", "win32"}
INCLUDE = re.compile(r'\s*#\s*include\s+"([^"]+)"')


def folder_of(rel_dir):
    """('history', False) for history/, ('history/qt', True) for a front-end folder."""
    parts = rel_dir.split("/")
    front = parts[0] == "app" or any(p in FRONT_ENDS for p in parts[1:])
    return rel_dir, front


def main(src, known_file):
    known = set()
    with open(known_file, encoding="utf-8") as f:
        for line in f:
            line = line.strip()
            if line and not line.startswith("#"):
                known.add(line)
    problems, seen_known = [], set()
    edges = {}
    for root, _, files in os.walk(src):
        for name in sorted(files):
            if not name.endswith((".h", ".cpp")):
                continue
            path = os.path.join(root, name)
            rel = os.path.relpath(path, src).replace(os.sep, "/")
            here, here_front = folder_of(os.path.dirname(rel))
            with open(path, encoding="utf-8", errors="replace") as f:
                for line in f:
                    m = INCLUDE.match(line)
                    if not m or "/" not in m.group(1):
                        continue
                    inc = m.group(1)
                    if inc == PROGRAM_STATE and rel.split("/")[0] not in COMPOSITION_ROOT:
                        problems.append(rel + " " + inc + "  (only the composition root sees the program-wide state)")
                        continue
                    there, there_front = folder_of(os.path.dirname(inc))
                    if there.split("/")[0] not in LAYERS or there == here:
                        continue
                    entry = rel + " " + inc
                    if there_front and not here_front:
                        problems.append(entry + "  (a core file includes a front-end header)")
                        continue
                    if here_front:
                        continue
                    if LAYERS.index(there.split("/")[0]) > LAYERS.index(here.split("/")[0]):
                        if entry in known:
                            seen_known.add(entry)
                        else:
                            problems.append(entry + "  (includes a folder above its own)")
                        continue
                    edges.setdefault(here, set()).add(there)
    for entry in sorted(known - seen_known):
        problems.append(entry + "  (no longer there: take it off " + os.path.basename(known_file) + ")")
    # A circle among the folders that keep the order (known upward includes left out).
    state = {}

    def visit(node, trail):
        state[node] = 1
        for nxt in sorted(edges.get(node, ())):
            if state.get(nxt) == 1:
                problems.append("circle: " + " -> ".join(trail[trail.index(nxt):] + [nxt]))
            elif nxt not in state:
                visit(nxt, trail + [nxt])
        state[node] = 2

    for node in sorted(edges):
        if node not in state:
            visit(node, [node])
    for p in problems:
        print(p)
    print(f"{len(seen_known)} known upward includes left to take apart; {len(problems)} problems")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1], sys.argv[2]))
