#!/usr/bin/env python3
"""Fails when a source file includes one from a folder above its own.

The program is layered: framework/ at the bottom, then resources/ (the
resource ids), settings/, then the subsystems record/, hotkeys/, region/,
audio/ and install/, and app/ on top. A folder includes only from its own
level and below; the subsystems do not include each other, except for the
interface headers listed in SHARED_BETWEEN_SUBSYSTEMS.
"""
import os
import re
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
LEVELS = {"framework": 0, "resources": 1, "settings": 2,
          "record": 3, "hotkeys": 3, "region": 3, "audio": 3, "install": 3,
          "app": 4}
# Headers of one subsystem that another may include (path from the top).
SHARED_BETWEEN_SUBSYSTEMS = set()
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.MULTILINE)
SOURCES = (".h", ".hpp", ".cpp", ".c", ".rc")


def top_folder(path):
    rel = os.path.relpath(path, ROOT)
    return rel.split(os.sep)[0] if not rel.startswith("..") else None


def problems():
    found = []
    for folder in LEVELS:
        for base, _, files in os.walk(os.path.join(ROOT, folder)):
            for name in files:
                if not name.endswith(SOURCES):
                    continue
                path = os.path.join(base, name)
                with open(path, encoding="latin-1") as f:
                    text = f.read()
                for include in INCLUDE.findall(text):
                    target = os.path.normpath(os.path.join(base, include))
                    other = top_folder(target)
                    if other not in LEVELS or other == folder:
                        continue
                    rel_target = os.path.relpath(target, ROOT).replace(os.sep, "/")
                    upward = LEVELS[other] > LEVELS[folder]
                    sideways = LEVELS[other] == LEVELS[folder] and rel_target not in SHARED_BETWEEN_SUBSYSTEMS
                    if upward or sideways:
                        found.append("%s includes %s" % (os.path.relpath(path, ROOT), rel_target))
    return found


def main():
    found = problems()
    for line in found:
        print("include direction: " + line)
    print("include direction: %s" % ("%d problem(s)" % len(found) if found else "ok"))
    return 1 if found else 0


if __name__ == "__main__":
    sys.exit(main())
