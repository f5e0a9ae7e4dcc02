#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""The driver built to WebAssembly, run under node, prints what the native
driver prints, byte for byte, and ends with the same status: on the demo and
on seeded random scripts of clicks, drags, keys, menu entries and waits.

usage: driver_traces.py NATIVE_SIM WASM_SIM_JS DEMO [COUNT] [SEED]
"""
import os
import random
import shutil
import subprocess
import sys
import tempfile

# Places worth clicking: the lid, the buttons, the cross pad, the screens,
# the case, and a point off the case.
TARGETS = ["Im_Front", "Puls_GameA", "Puls_GameB", "Puls_Time", "Puls_ACL", "Puls_Jump",
           "Puls_Alarm", "Puls_Cross1", "Im_Schermo1Top", "Im_Base"]
KEYS = ["ctrl", "left", "right", "up", "down"]


def random_script(rng):
    lines = [f"play {rng.choice([0, 1, 2])}", "click Im_Front"]
    for _ in range(rng.randint(20, 120)):
        r = rng.random()
        if r < 0.35:
            key = rng.choice(KEYS)
            lines += [f"keydown {key}", f"wait {rng.randint(0, 120)}", f"keyup {key}"]
        elif r < 0.5:
            lines.append(f"click {rng.choice(TARGETS)}")
        elif r < 0.58:
            button = rng.choice(["", " right", " middle"])
            lines += [f"press {rng.choice(TARGETS)}{button}", f"wait {rng.randint(0, 900)}",
                      f"release{button}"]
        elif r < 0.64:
            x, y = rng.randint(0, 463), rng.randint(0, 570)
            lines += [f"press {x} {y}", f"move {x + rng.randint(-40, 40)} {y + rng.randint(-40, 40)}",
                      "release"]
        elif r < 0.66:
            lines.append(f"menu {rng.choice(['PM_1About', 'PM_3Readme', 'PM_8Hiscore'])}")
        elif r < 0.68:
            lines.append("dump")
        else:
            lines.append(f"wait {rng.choice([rng.randint(1, 400), rng.randint(400, 6000)])}")
    lines.append("dump")
    return "\n".join(lines) + "\n"


def run(command, script):
    done = subprocess.run(command + [script], capture_output=True, timeout=300)
    return done.returncode, done.stdout, done.stderr


def main():
    native, wasm, demo = sys.argv[1:4]
    count = int(sys.argv[4]) if len(sys.argv) > 4 else 60
    seed = int(sys.argv[5]) if len(sys.argv) > 5 else 2024
    if not os.path.exists(wasm) or not shutil.which("node"):
        print(f"SKIPPED: {wasm} is not built (scripts/web.sh needs emscripten and node)")
        return 77
    node = ["node", "--no-experimental-fetch", wasm]
    rng = random.Random(seed)
    failures = 0
    with tempfile.TemporaryDirectory() as folder:
        scripts = [("demo", demo)]
        for i in range(count):
            path = os.path.join(folder, f"random-{i}.sim")
            with open(path, "w") as f:
                f.write(random_script(rng))
            scripts.append((f"random script {i} (seed {seed})", path))
        lines = 0
        for name, path in scripts:
            for options in (["--trace"], ["--trace", "--time", "23:59:58", "--screen", "800x600"]):
                a = run([native] + options, path)
                b = run(node + options, path)
                lines += a[1].count(b"\n")
                if a != b:
                    failures += 1
                    print(f"{name} {' '.join(options)}: the WebAssembly driver differs "
                          f"(status {a[0]} and {b[0]}, {len(a[1])} and {len(b[1])} bytes)")
                    if a[0] == 0 and b[0] == 0:
                        ours, theirs = a[1].splitlines(), b[1].splitlines()
                        for i, (x, y) in enumerate(zip(ours, theirs)):
                            if x != y:
                                print(f"  line {i + 1}: {x!r} / {y!r}")
                                break
        print(f"{len(scripts)} scripts, {lines} lines of trace: "
              f"{2 * len(scripts) - failures} passed, {failures} failed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
