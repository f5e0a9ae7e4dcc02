#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Lays out what the page needs beside its module: the pictures of each art
scale in two sheets, and the two documents as pages.

A first visit fetches `sheet-Nx-start.bin` while the WebAssembly compiles:
what the first screen shows, the launcher's two slides (the handheld is off
the page until PLAY). The rest, `sheet-Nx-rest.bin`, follows once the first
frame is drawn, so that a dense screen's large photographs of the case do
not hold up the start. A sheet is
"CSHT", the index's length (4 bytes, little endian), the index as JSON
([{"path", "offset", "size"}], offsets from the end of the index), then the
files' bytes as they are stored.

usage: make_site.py REPO SITE
"""
import html
import json
import pathlib
import re
import struct
import sys


def sheet_files(assets, scale):
    pictures = assets / "pictures" / ("" if scale == 1 else f"{scale}x")
    lcd = assets / "lcd" / ("" if scale == 1 else f"{scale}x")
    files = sorted(pictures.glob("*.jpg")) + sorted(lcd.glob("*.pbm" if scale == 1 else "*.png"))
    return [(f.relative_to(assets).as_posix(), f.read_bytes()) for f in files]


# The pictures of the first screen: the launcher's slideshow.
FIRST_SCREEN = ("Im_Piccina1.jpg", "Im_Piccina2.jpg")


def write_sheet(path, files):
    index, offset = [], 0
    for name, data in files:
        index.append({"path": name, "offset": offset, "size": len(data)})
        offset += len(data)
    head = json.dumps(index, separators=(",", ":")).encode()
    with open(path, "wb") as out:
        out.write(b"CSHT" + struct.pack("<I", len(head)) + head)
        for _, data in files:
            out.write(data)


def document_page(text, title):
    # Each heading (a line underlined with dashes) is a place to link to:
    # "THE MENU" is #the-menu.
    lines = text.splitlines()
    out = []
    for i, line in enumerate(lines):
        escaped = html.escape(line)
        under = lines[i + 1] if i + 1 < len(lines) else ""
        if line.strip() and re.fullmatch(r"-{3,}", under.strip() or "x"):
            anchor = re.sub(r"[^a-z0-9]+", "-", line.strip().lower()).strip("-")
            escaped = f'<span id="{anchor}">{escaped}</span>'
        out.append(escaped)
    return (
        "<!DOCTYPE html>\n<html lang=\"en\"><head><meta charset=\"utf-8\">"
        "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">"
        f"<title>{html.escape(title)}</title>"
        "<style>body{background:#111;color:#ddd;margin:1em}"
        "pre{white-space:pre-wrap;font:14px/1.4 monospace;max-width:80ch}</style>"
        "</head><body><pre>" + "\n".join(out) + "</pre></body></html>\n")


def main():
    repo, site = pathlib.Path(sys.argv[1]), pathlib.Path(sys.argv[2])
    assets = repo / "assets"
    for old in site.glob("sheet-*.bin"):
        old.unlink()
    for scale in (1, 2, 3, 4):
        files = sheet_files(assets, scale)
        first = [f for f in files if f[0].rsplit("/", 1)[-1] in FIRST_SCREEN]
        assert len(first) == len(FIRST_SCREEN), f"the first screen's pictures at {scale}x"
        write_sheet(site / f"sheet-{scale}x-start.bin", first)
        write_sheet(site / f"sheet-{scale}x-rest.bin", [f for f in files if f not in first])
    for name, title in (("readme", "Readme.txt"), ("whatsnew", "Whatsnew.txt")):
        text = (assets / f"{name}.txt").read_text(encoding="utf-8")
        (site / f"{name}.html").write_text(document_page(text, title), encoding="utf-8")


if __name__ == "__main__":
    main()
