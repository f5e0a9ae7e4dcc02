#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Includes run one way, and the toolkit stays above the line.

The tree is in layers: core/ <- common/ <- render/ <- the front ends
(frontend/, sim/, web/) <- tools/; tests/ and bench/ may use anything. A file
may include its own folder's headers and those of the layers below it,
never a layer above nor a front end beside it. Inside frontend/ the glue is
layered too: x11/, clock/, sound/ and pictures/ at the bottom, then input/,
windows/, replay/, and app/ (the program's start-up) at the top. Nothing
below the front ends includes a toolkit (Qt, SDL, X11).

    check_layers.py ROOT          exit 1 naming every include that runs back up
    check_layers.py --self-test   the check catches each kind of offence
"""
import pathlib
import re
import sys

TOP = {"core": 0, "common": 1, "render": 2, "frontend": 3, "sim": 3, "web": 3, "tools": 4}
FRONT_ENDS = {"frontend", "sim", "web"}
FRONTEND = {"x11": 0, "clock": 0, "sound": 0, "pictures": 0, "input": 1, "windows": 2,
            "replay": 3, "app": 4}
TOOLKIT = re.compile(r"^(Q[A-Za-z]*|Qt[A-Za-z]*/.*|SDL.*|X11/.*)$")
INCLUDE = re.compile(r'^\s*#\s*include\s*[<"]([^>"]+)[>"]', re.M)


def place(path):
    """(top folder, subfolder) of a file or an include, relative to the root."""
    parts = pathlib.PurePosixPath(path).parts
    return (parts[0], parts[1] if len(parts) > 2 else "") if parts else ("", "")


def offence(source, include):
    top, sub = place(source)
    if top not in TOP:
        return None
    if TOOLKIT.match(include) and TOP[top] < TOP["frontend"]:
        return "a toolkit below the front ends"
    itop, isub = place(include)
    if itop not in TOP or itop == top and top != "frontend":
        return None
    if itop == top:  # inside frontend/
        if FRONTEND.get(isub, 0) > FRONTEND.get(sub, 0):
            return f"frontend/{sub}/ includes frontend/{isub}/, above it"
        return None
    if TOP[itop] > TOP[top]:
        return f"{top}/ includes {itop}/, above it"
    if itop in FRONT_ENDS and top in FRONT_ENDS:
        return f"{top}/ includes {itop}/, a front end beside it"
    return None


# One include of each kind, and whether it runs back up.
CASES = [
    ("core/a.cpp", "QString", True), ("common/a.h", "SDL.h", True),
    ("render/a.cpp", "X11/Xlib.h", True), ("frontend/windows/a.cpp", "QWidget", False),
    ("core/a.cpp", "common/b.h", True), ("common/a.cpp", "render/b.h", True),
    ("render/a.cpp", "frontend/pictures/b.h", True), ("sim/a.cpp", "frontend/app/b.h", True),
    ("web/a.cpp", "sim/b.h", True), ("frontend/windows/a.cpp", "frontend/app/b.h", True),
    ("frontend/input/a.cpp", "frontend/windows/b.h", True),
    ("frontend/app/a.cpp", "frontend/windows/b.h", False), ("render/a.cpp", "common/b.h", False),
    ("sim/a.cpp", "render/b.h", False), ("tools/a.cpp", "frontend/pictures/b.h", False),
    ("core/a.cpp", "core/b.h", False), ("common/a.cpp", "turbojpeg.h", False),
]


def self_test():
    wrong = [f"  {s} including {i}: {'missed' if bad else 'refused'}"
             for s, i, bad in CASES if (offence(s, i) is not None) != bad]
    if wrong:
        print("the check itself is wrong:\n" + "\n".join(wrong))
        return 1
    print(f"{len(CASES)} cases, each judged right")
    return 0


def main():
    if sys.argv[1] == "--self-test":
        return self_test()
    root = pathlib.Path(sys.argv[1])
    offenders, count = [], 0
    for path in sorted(root.rglob("*")):
        if path.suffix not in (".h", ".cpp", ".inc") or not path.is_file():
            continue
        rel = path.relative_to(root).as_posix()
        if rel.split("/")[0] not in TOP:
            continue
        count += 1
        for include in INCLUDE.findall(path.read_text(errors="replace")):
            why = offence(rel, include)
            if why:
                offenders.append(f"  {rel}: {include} ({why})")
    if count == 0:
        sys.exit(f"no source found under {root}")
    if offenders:
        print("includes that run back up:\n" + "\n".join(offenders))
        return 1
    print(f"{count} files, every include runs one way")
    return 0


if __name__ == "__main__":
    sys.exit(main())
