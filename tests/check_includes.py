#!/usr/bin/env python3
"""Fails when a source file includes one from a floor above its own, from
another folder of its own floor, or a file that cannot be found.

The program is built in floors: framework/ and codec/ at the bottom (the
codec needs nothing of ours), then resources/ (the resource ids),
settings/, recovery/, the subsystems record/, hotkeys/, region/, audio/ and
install/, and app/ on top. A folder includes only from itself and from the
floors below. Includes in quotes are resolved as the compiler resolves
them: beside the including file first, then in the include folders given
with --include-dir (the build's generated headers).

    check_includes.py [--include-dir DIR]...
"""
import argparse
import os
import re
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
FLOORS = {"framework": 0, "codec": 0, "resources": 1, "settings": 2, "recovery": 3,
          "record": 4, "hotkeys": 4, "region": 4, "audio": 4, "install": 4,
          "app": 5}
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.MULTILINE)
SOURCES = (".h", ".hpp", ".cpp", ".c", ".rc")


def top_folder(path):
    rel = os.path.relpath(path, ROOT)
    return None if rel.startswith("..") else rel.split(os.sep)[0]


def resolve(include, base, include_dirs):
    for folder in [base] + include_dirs:
        candidate = os.path.normpath(os.path.join(folder, include))
        if os.path.isfile(candidate):
            return candidate
    return None


def problems(include_dirs):
    found = []
    for folder in FLOORS:
        for base, _, files in os.walk(os.path.join(ROOT, folder)):
            for name in sorted(files):
                if not name.endswith(SOURCES):
                    continue
                path = os.path.join(base, name)
                rel_path = os.path.relpath(path, ROOT)
                with open(path, encoding="latin-1") as f:
                    text = f.read()
                for include in INCLUDE.findall(text):
                    target = resolve(include, base, include_dirs)
                    if target is None:
                        found.append("%s includes %s, which is not found" % (rel_path, include))
                        continue
                    other = top_folder(target)
                    if other == folder or other not in FLOORS:
                        continue   # its own folder, or a header the build makes
                    if FLOORS[other] >= FLOORS[folder]:
                        found.append("%s includes %s" % (rel_path, os.path.relpath(target, ROOT)))
    return found


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--include-dir", action="append", default=[])
    found = problems([os.path.abspath(d) for d in parser.parse_args().include_dir])
    for line in found:
        print("include direction: " + line)
    print("include direction: %s" % ("%d problem(s)" % len(found) if found else "ok"))
    return 1 if found else 0


if __name__ == "__main__":
    sys.exit(main())
