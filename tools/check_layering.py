#!/usr/bin/env python3
"""Checks that every source folder uses only the folders below it.

Reads every #include "..." under SRC and prints each one that reaches a
folder above the including file's folder, as FILE:LINE: the line. A folder's
subfolders (platform/sim, shell/win32, engine/arguments, ...) belong to it.
Fails as well on a folder the order below does not name, so that a new
folder is placed before it can be used.

usage: check_layering.py SRC
"""
import pathlib
import re
import sys

# Bottom to top; folders on one rank may use each other.
LAYERS = (
    ("support",),
    ("platform",),
    ("system",),
    ("report",),
    ("fileops",),
    ("shortcut",),
    ("engine",),
    ("intake",),
    ("shell",),
    ("simrun", "app"),
)
RANK = {folder: rank for rank, folders in enumerate(LAYERS) for folder in folders}
SOURCE_SUFFIXES = {".h", ".cpp", ".inc"}
INCLUDE = re.compile(r'^\s*#\s*include\s*"([^"]+)"')


def folder_of(path: pathlib.Path, src: pathlib.Path):
    parts = path.relative_to(src).parts
    return parts[0] if len(parts) > 1 else None


def included_folder(name: str, includer: pathlib.Path, src: pathlib.Path):
    """The folder an include names, or None for one outside src/."""
    beside = (includer.parent / name).resolve()
    if beside.is_file() and beside.is_relative_to(src):
        return folder_of(beside, src)
    first = pathlib.PurePosixPath(name).parts[0]
    return first if (src / first).is_dir() else None


def main() -> int:
    if len(sys.argv) != 2:
        print(__doc__.strip().splitlines()[-1], file=sys.stderr)
        return 2
    src = pathlib.Path(sys.argv[1]).resolve()
    problems = 0

    for folder in sorted(p.name for p in src.iterdir() if p.is_dir()):
        if folder not in RANK:
            print(f"{src / folder}: folder not placed in the layer order of {__file__}")
            problems += 1

    for path in sorted(p for p in src.rglob("*") if p.suffix in SOURCE_SUFFIXES):
        own = folder_of(path, src)
        if own not in RANK:
            continue
        text = path.read_text(encoding="utf-8")
        for number, line in enumerate(text.splitlines(), start=1):
            match = INCLUDE.match(line)
            if not match:
                continue
            target = included_folder(match.group(1), path, src)
            if target in RANK and RANK[target] > RANK[own]:
                print(f"{path.relative_to(src.parent)}:{number}: {own} includes {target}: "
                      f"{line.strip()}")
                problems += 1

    if problems:
        print(f"{problems} layering problem(s); order, bottom to top: "
              + ", ".join("/".join(folders) for folders in LAYERS))
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
