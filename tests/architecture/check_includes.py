#!/usr/bin/env python3
"""Fails when a file in src/ includes a header of a folder above its own.

The folders' order comes from the build (src/CMakeLists.txt), lowest first. A file may include
headers of its own folder and of the folders below it; "platform/qt" counts as the layer "qt".
"""
import argparse
import pathlib
import re
import sys

INCLUDE = re.compile(r'^\s*#\s*include\s*"([^"]+)"', re.MULTILINE)


def layer_of(relative: pathlib.PurePosixPath) -> str:
    parts = relative.parts
    if parts[:2] == ("platform", "qt"):
        return "qt"
    return parts[0]


def main() -> int:
    parser = argparse.ArgumentParser()
    parser.add_argument("--src", required=True)
    parser.add_argument("layers", nargs="+", help="the layers, lowest first")
    args = parser.parse_args()
    rank = {name: index for index, name in enumerate(args.layers)}
    src = pathlib.Path(args.src)

    problems = []
    for path in sorted(src.rglob("*")):
        if path.suffix not in (".h", ".cpp") or len(path.relative_to(src).parts) < 2:
            continue  # the programs' own main files stand above every layer
        relative = pathlib.PurePosixPath(path.relative_to(src).as_posix())
        own = layer_of(relative)
        if own not in rank:
            problems.append(f"{relative}: folder '{own}' is in no layer of src/CMakeLists.txt")
            continue
        text = path.read_text(encoding="utf-8")
        for match in INCLUDE.finditer(text):
            included = pathlib.PurePosixPath(match.group(1))
            if len(included.parts) < 2:
                continue
            target = layer_of(included)
            if target not in rank:
                problems.append(f"{relative}: includes {included}, of no layer")
            elif rank[target] > rank[own]:
                line = text.count("\n", 0, match.start()) + 1
                problems.append(
                    f"{relative}:{line}: '{own}' includes {included} from '{target}', "
                    f"which lies above it")
    for problem in problems:
        print(problem)
    print(f"include order: {len(problems)} problem(s)")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
