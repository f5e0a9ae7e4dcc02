#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Measures the web page in a headless Chromium served from this machine:
what a first visit downloads (each file's size as gzip -9 sends it; what is
asked for before the first frame, and what follows it), the
time from navigation to the first frame (cold: a new profile each run), how
long a key takes to reach the canvas, and the browser's processor time in
the clock and in play (the LCD effects on), with and without sound.

usage: /usr/bin/python3 tools/measure_web.py [build-web/site] [--seconds 30] [--runs 3]
"""
import argparse
import functools
import gzip
import http.server
import os
import shutil
import statistics
import sys
import tempfile
import threading
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "web"))
import page_test  # noqa: E402  (the tests' browser rig)
from page_test import ActionChains, Page, Keys, wait_for  # noqa: E402

TICK = os.sysconf("SC_CLK_TCK")


def browser_ticks(driver_pid):
    """utime + stime of every process below chromedriver (the browser's)."""
    children = {}
    for pid in os.listdir("/proc"):
        if not pid.isdigit():
            continue
        try:
            with open(f"/proc/{pid}/stat") as f:
                fields = f.read().rsplit(")", 1)[1].split()
            children.setdefault(int(fields[1]), []).append((int(pid), int(fields[11]) + int(fields[12])))
        except (OSError, IndexError):
            continue
    total, todo = 0, [driver_pid]
    while todo:
        for pid, ticks in children.get(todo.pop(), []):
            total += ticks
            todo.append(pid)
    return total


def cpu_share(page, seconds, during=None):
    pid = page.driver.service.process.pid
    start, wall = browser_ticks(pid), time.monotonic()
    end = wall + seconds
    while time.monotonic() < end:
        if during:
            during()
        time.sleep(0.05)
    return 100.0 * (browser_ticks(pid) - start) / TICK / (time.monotonic() - wall)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("site", nargs="?", default="build-web/site")
    parser.add_argument("--seconds", type=float, default=30)
    parser.add_argument("--runs", type=int, default=3)
    args = parser.parse_args()
    page_test.SITE = args.site
    handler = functools.partial(page_test.QuietHandler, directory=args.site)
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), handler)
    threading.Thread(target=server.serve_forever, daemon=True).start()
    url = f"http://127.0.0.1:{server.server_address[1]}/"
    try:
        for ratio in (1, 2, 3, 4):
            firsts = []
            for _ in range(args.runs):
                p = Page(url, ratio=ratio, width=1000, height=900)
                firsts.append(wait_for(lambda: p.js("return cantiere.stats.firstFrameMs"), "the first frame"))
                wait_for(lambda: p.js("return cantiere.stats.wholeArt"), "the rest of the pictures")
                entries = p.js("return performance.getEntriesByType('navigation').concat("
                               "performance.getEntriesByType('resource')).map(e => [e.name, e.startTime])")
                first = p.js("return cantiere.stats.firstFrameMs")
                p.close()
            for when, chosen in (("first visit (before the first frame)", [n for n, t in entries if t < first]),
                                 ("then, after the first frame", [n for n, t in entries if t >= first])):
                sizes = {}
                for name in chosen:
                    path = os.path.join(args.site, name.split("/", 3)[3].split("?")[0] or "index.html")
                    if os.path.isfile(path):
                        with open(path, "rb") as f:
                            sizes[os.path.basename(path)] = len(gzip.compress(f.read(), 9))
                print(f"ratio {ratio}: {when} {sum(sizes.values()) / 1024:.0f} KB compressed: "
                      + ", ".join(f"{k} {v / 1024:.0f}" for k, v in sorted(sizes.items())))
            print(f"ratio {ratio}: first frame {', '.join(f'{t:.0f}' for t in firsts)} ms after navigation "
                  f"(median {statistics.median(firsts):.0f})")

        def started(sound, button="Puls_GameA"):
            page = Page(url, width=1000, height=900)
            page.play(sound)
            page.open_lid()
            page.tap(*page.at(button))
            return page

        p = started(2)
        # A key to the canvas: from the key going down to the first
        # rectangle put after it. Ctrl draws its button pressed at once; a
        # step (an arrow) has only segments, drawn as they start to show.
        # The steps are taken just after the player comes in, before a
        # barrel can reach him, each game in a browser of its own.
        listen = ("document.addEventListener('keydown', () => { const down = performance.now();"
                  " const puts = cantiere.stats.puts; window.keyToCanvas = null;"
                  " const poll = () => { if (cantiere.stats.puts > puts) window.keyToCanvas ="
                  " cantiere.stats.lastPutAt - down; else setTimeout(poll, 0); }; poll(); }, true);")

        def key_to_canvas(page, key):
            page.settled(200)
            ActionChains(page.driver).key_down(key).perform()
            wait_for(lambda: page.js("return window.keyToCanvas != null"), "the key drawn")
            ActionChains(page.driver).key_up(key).perform()
            return page.js("return window.keyToCanvas")

        p.js(listen)
        waits = {"Ctrl": [key_to_canvas(p, Keys.CONTROL) for _ in range(10)], "an arrow": []}
        frame = p.driver.execute_async_script(
            "const done = arguments[0]; requestAnimationFrame(a => requestAnimationFrame(b => done(b - a)));")
        p.close()
        for _ in range(3):
            p = started(2)
            p.settled(1500)
            p.key(Keys.CONTROL, 0.05)
            p.js(listen)
            waits["an arrow"] += [key_to_canvas(p, k) for k in [Keys.ARROW_RIGHT, Keys.ARROW_LEFT] * 2]
            p.close()
        for what, ms in waits.items():
            print(f"{what} to canvas: {', '.join(f'{w:.1f}' for w in sorted(ms))} ms (a frame is {frame:.1f} ms)")

        def report(what, shares, frames):
            print(f"{what}: {statistics.median(shares):.1f} % of a core (runs: "
                  f"{', '.join(f'{s:.1f}' for s in shares)}; {statistics.median(frames):.1f} frames a second)")

        # Each figure from a browser of its own, several times over: the
        # machine is shared, and one run says little. The clock with the same
        # key a second is what the rig's own key presses cost the browser.
        # The sound modes: 2 is none, 0 plays. The clock is measured as it
        # stands for hours: past the ten seconds after which its silent sound
        # output rests and the minute after a tap in which the page asks the
        # browser for controllers.
        for what, start_game, keys, sound in (
                ("in play (Game A), a jump a second, effects on, no sound", True, True, 2),
                ("in play (Game A), a jump a second, effects on, sound on", True, True, 0),
                ("in play (Game A), no keys, effects on, sound on", True, False, 0),
                ("in the clock, effects on, no sound", False, False, 2),
                ("in the clock, effects on, sound on", False, False, 0),
                ("in the clock, Ctrl a second (the rig's keys)", False, True, 2)):
            shares, frames = [], []
            for _ in range(args.runs):
                p = started(sound, "Puls_GameA" if start_game else "Puls_Time")
                p.settled(2000) if start_game else time.sleep(65)
                last = [0.0]

                def jumps():
                    if time.monotonic() - last[0] > 1.0:
                        last[0] = time.monotonic()
                        p.key(Keys.CONTROL, 0.02)

                before = p.js("return cantiere.stats.frames")
                shares.append(cpu_share(p, args.seconds, jumps if keys else None))
                frames.append((p.js("return cantiere.stats.frames") - before) / args.seconds)
                p.close()
            report(what, shares, frames)
    finally:
        server.shutdown()
        server.server_close()


if __name__ == "__main__":
    main()
