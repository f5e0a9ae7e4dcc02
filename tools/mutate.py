#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Mutation runner for the toolkit-free core: how many small faults put into
core/**.cpp does the model test binary (model_test) notice?

Each mutant is one small change to one line: a flipped comparison
(`<` to `<=` or `>=`, `==` to `!=`, ...), an integer constant off by one,
`&&` for `||` and back, `true` for `false` and back, a negated `if`/`while`
condition, or a deleted statement (a call, an assignment, an increment).
The runner lists every such site in the core, picks --count of them with
--seed (the same seed and tree give the same mutants), and for each one
writes the change, rebuilds only model_test in its own build folder, runs it
with a time limit and stops at the first failing test, then puts the file
back. A mutant is killed when the binary fails or runs out of time, survives
when every test passes, and is not viable when it does not compile.
Survivors are reported by file with file:line, the change and the line.

    python3 tools/mutate.py                      # 100 mutants, seed 1
    python3 tools/mutate.py --seed 7 --count 150 --build-dir build-mutate
    python3 tools/mutate.py --list               # count the sites, run nothing
    python3 tools/mutate.py --only core/handheld/player.cpp --count 30
    python3 tools/mutate.py --grep 'HookPhase > 0' --count 1000   # one line's mutants

--build-dir (default build-mutate) is configured on first use as a
model-only build at -O1 without debug information, so it does not disturb
the ordinary build folder and each mutant costs one object and a link.
--with-sim adds the driver's tests (sim_test, which run cantiere-sim) to
the judge, for the script code in core/script/ that they exercise.
--render puts the faults into the renderer's toolkit-free library instead
(the sources of cantiere_render in render/CMakeLists.txt) and judges them
by its tests (render_test).
--sanitize configures it (default build-mutate-sanitize) with
AddressSanitizer and UndefinedBehaviorSanitizer, which also kill mutants
that only read or write out of bounds; slower, for a second look at the
survivors of a plain run.
--equivalent names a file of mutants judged equivalent (by default
tools/mutate-equivalent.txt): one per line, "path | change | line text" as
the report prints them, with a "#" comment saying why. Survivors listed
there are reported apart and left out of the score, which is
killed / (killed + other survivors).

The file under test is restored after every mutant, also on Ctrl-C; do not
edit core files while the runner works. Exit status: 0 when the run
finished, 1 on a broken baseline or set-up.
"""
import argparse
import pathlib
import random
import re
import shutil
import signal
import subprocess
import sys
import time

ROOT = pathlib.Path(__file__).resolve().parent.parent
DEFAULT_EQUIVALENT = ROOT / "tools" / "mutate-equivalent.txt"

# Lines that open with these are not call or assignment statements.
KEYWORDS = {"return", "if", "else", "for", "while", "switch", "case", "default", "break",
            "continue", "do", "goto", "throw", "delete", "static_assert", "using",
            "namespace", "template", "typedef", "const", "constexpr", "static", "auto",
            "int", "bool", "void", "unsigned", "struct", "class", "enum"}

RELATIONAL = {"<": ["<=", ">="], "<=": ["<", ">"], ">": [">=", "<="], ">=": [">", "<"],
              "==": ["!="], "!=": ["=="]}


class Mutant:
    __slots__ = ("path", "line", "col", "old", "new", "what", "text")

    def __init__(self, path, line, col, old, new, what, text):
        self.path, self.line, self.col = path, line, col
        self.old, self.new, self.what, self.text = old, new, what, text

    def apply(self, lines):
        s = lines[self.line - 1]
        assert s[self.col:self.col + len(self.old)] == self.old, (self.path, self.line)
        out = list(lines)
        out[self.line - 1] = s[:self.col] + self.new + s[self.col + len(self.old):]
        return out

    def mutated_line(self):
        s = self.text
        return s[:self.col] + self.new + s[self.col + len(self.old):]

    def key(self):
        return f"{self.path} | {self.what} | {self.text.strip()}"


def mask_code(lines):
    """Each line with comments, string and character literals blanked out,
    so that sites are only found in code; columns are kept."""
    out = []
    in_block = False
    for s in lines:
        m = list(s)
        i = 0
        while i < len(s):
            if in_block:
                end = s.find("*/", i)
                stop = len(s) if end < 0 else end + 2
                for j in range(i, stop):
                    m[j] = " "
                in_block = end < 0
                i = stop
                continue
            if s.startswith("//", i):
                for j in range(i, len(s)):
                    m[j] = " "
                break
            if s.startswith("/*", i):
                in_block = True
                continue
            if s[i] in "\"'":
                q = s[i]
                j = i + 1
                while j < len(s) and s[j] != q:
                    j += 2 if s[j] == "\\" else 1
                for k in range(i + 1, min(j, len(s))):
                    m[k] = " "
                i = j + 1
                continue
            i += 1
        out.append("".join(m))
    return out


def closing_paren(code, open_at):
    depth = 0
    for i in range(open_at, len(code)):
        if code[i] == "(":
            depth += 1
        elif code[i] == ")":
            depth -= 1
            if depth == 0:
                return i
    return -1


TARGET = r"[A-Za-z_][\w:]*(?:(?:\.|->)[A-Za-z_]\w*)*(?:\[[^\]]*\])?"
STATEMENT = re.compile(
    rf"(?:{TARGET}\s*\(.*\)"                     # a call
    rf"|{TARGET}\s*[-+*/|&]?=(?!=).*"               # an assignment
    rf"|(?:\+\+|--){TARGET}|{TARGET}(?:\+\+|--));")  # an increment


def statement_at(code, start):
    """The end (exclusive) of a single statement that starts at `start` and
    closes the line, or -1."""
    rest = code[start:].rstrip()
    word = re.match(r"[A-Za-z_]\w*", rest)
    if word and word.group(0) in KEYWORDS:
        return -1
    if not STATEMENT.fullmatch(rest):
        return -1
    if rest.count("(") != rest.count(")") or rest.count(";") != 1:
        return -1
    return start + len(rest)


def sites(path, lines):
    code = mask_code(lines)
    found = []

    def add(n, col, old, new, what):
        found.append(Mutant(path, n, col, old, new, what, lines[n - 1]))

    for n, (s, c) in enumerate(zip(lines, code), start=1):
        if c.lstrip().startswith("#") or not c.strip():
            continue
        for m in re.finditer(r"(?<=\s)(<=|>=|==|!=|<|>)(?=\s)", c):
            for new in RELATIONAL[m.group(1)]:
                add(n, m.start(), m.group(1), new, f"`{m.group(1)}` -> `{new}` @{m.start()}")
        for m in re.finditer(r"(?<=\s)(&&|\|\|)(?=\s)", c):
            new = "||" if m.group(1) == "&&" else "&&"
            add(n, m.start(), m.group(1), new, f"`{m.group(1)}` -> `{new}` @{m.start()}")
        for m in re.finditer(r"\b(true|false)\b", c):
            new = "false" if m.group(1) == "true" else "true"
            add(n, m.start(), m.group(1), new, f"`{m.group(1)}` -> `{new}` @{m.start()}")
        for m in re.finditer(r"(?<![\w.])(\d+)([uUlL]*)(?![\w.])", c):
            v = int(m.group(1))
            for nv in (v + 1, v - 1):
                if nv < 0:
                    continue
                add(n, m.start(), m.group(0), f"{nv}{m.group(2)}",
                    f"`{m.group(0)}` -> `{nv}{m.group(2)}` @{m.start()}")
        for m in re.finditer(r"\b(if|while)\s*\(", c):
            open_at = m.end() - 1
            close = closing_paren(c, open_at)
            if close < 0:
                continue
            old = s[open_at:close + 1]
            add(n, open_at, old, f"(!{old})", f"negate `{m.group(1)}` @{open_at}")
        # A statement that fills the line, or follows `if (...)`, `else`,
        # `for (...)` or `case X:` on it.
        starts = [len(c) - len(c.lstrip())]
        for m in re.finditer(r"\b(if|for|while)\s*\(", c):
            close = closing_paren(c, m.end() - 1)
            if close > 0:
                starts.append(close + 1 + len(c[close + 1:]) - len(c[close + 1:].lstrip()))
        for m in re.finditer(r"\belse\s+(?!if\b)", c):
            starts.append(m.end())
        for start in sorted(set(starts)):
            end = statement_at(c, start)
            if end > start:
                old = s[start:end]
                add(n, start, old, ";" if start == starts[0] else "{}",
                    f"delete statement @{start}")
    return found


def renderer_sources():
    """The .cpp files of the renderer's library, as its CMakeLists lists them."""
    text = (ROOT / "render" / "CMakeLists.txt").read_text()
    block = re.search(r"add_library\(cantiere_render STATIC(.*?)\)", text, re.S)
    return [ROOT / "render" / name for name in block.group(1).split()] if block else []


def all_sites(only, render=False):
    files = sorted(renderer_sources() if render else (ROOT / "core").rglob("*.cpp"))
    out = []
    for f in files:
        rel = f.relative_to(ROOT).as_posix()
        if only and not any(rel.startswith(o) for o in only):
            continue
        out.extend(sites(rel, f.read_text().split("\n")))
    return out


def load_equivalent(path):
    """Keys of the mutants judged equivalent; lines opening with # say why."""
    if not path.exists():
        return set()
    return {line.strip() for line in path.read_text().splitlines()
            if line.strip() and not line.lstrip().startswith("#")}


def run(cmd, timeout=None, cwd=ROOT):
    # A mutant may print any bytes (a name read out of range, say).
    return subprocess.run(cmd, cwd=cwd, stdout=subprocess.PIPE, stderr=subprocess.STDOUT,
                          text=True, errors="replace", timeout=timeout)


def configure(build, sanitize):
    if (build / "CMakeCache.txt").exists():
        return
    cmd = ["cmake", "-S", str(ROOT), "-B", str(build), "-DCMAKE_BUILD_TYPE=RelWithDebInfo",
           "-DCMAKE_CXX_FLAGS_RELWITHDEBINFO=-O1 -DNDEBUG", "-DCANTIERE_MODEL_ONLY=ON",
           f"-DCANTIERE_SANITIZE={'ON' if sanitize else 'OFF'}"]
    if shutil.which("ccache"):
        cmd.append("-DCMAKE_CXX_COMPILER_LAUNCHER=ccache")
    r = run(cmd)
    if r.returncode:
        sys.exit("configure failed:\n" + r.stdout[-3000:])


def build(build_dir, jobs, targets):
    return run(["cmake", "--build", str(build_dir), "-j", str(jobs), "--target", *targets])


def test(binaries, timeout):
    """'killed', 'survived' or 'timeout', and the first failing test."""
    for binary in binaries:
        try:
            r = run([str(binary), "--gtest_fail_fast", "--gtest_brief=1"], timeout=timeout)
        except subprocess.TimeoutExpired:
            return "timeout", binary.name
        if r.returncode != 0:
            failed = re.findall(r"^\[  FAILED  \] (\S+)", r.stdout, re.M)
            return "killed", failed[0] if failed else f"{binary.name} exit {r.returncode}"
    return "survived", ""


def main():
    ap = argparse.ArgumentParser(description=__doc__.split("\n\n")[0],
                                 formatter_class=argparse.RawDescriptionHelpFormatter)
    ap.add_argument("--seed", type=int, default=1)
    ap.add_argument("--count", type=int, default=100)
    ap.add_argument("--build-dir", help="default build-mutate, or build-mutate-sanitize")
    ap.add_argument("--sanitize", action="store_true",
                    help="build the mutants with the address and undefined-behaviour sanitizers")
    ap.add_argument("--jobs", type=int, default=2)
    ap.add_argument("--timeout", type=float, default=60.0, help="seconds per test run")
    ap.add_argument("--only", action="append", default=[],
                    help="path prefix under the tree, e.g. core/handheld/ (repeatable)")
    ap.add_argument("--with-sim", action="store_true",
                    help="also build and run the driver's tests (sim_test), which reach "
                    "core/script/ through the cantiere-sim program")
    ap.add_argument("--render", action="store_true",
                    help="mutate the renderer's library (render/) and run render_test")
    ap.add_argument("--grep", help="only mutants whose 'path | change | line' matches this "
                    "regular expression, e.g. to try the mutants of one line")
    ap.add_argument("--equivalent", default=str(DEFAULT_EQUIVALENT))
    ap.add_argument("--list", action="store_true", help="count the sites by file and stop")
    ap.add_argument("--log", help="also write one line per mutant to this file")
    args = ap.parse_args()

    candidates = all_sites(args.only, args.render)
    if args.grep:
        candidates = [m for m in candidates if re.search(args.grep, m.key())]
    by_file = {}
    for m in candidates:
        by_file[m.path] = by_file.get(m.path, 0) + 1
    if args.list:
        for p, k in sorted(by_file.items()):
            print(f"{k:5}  {p}")
        print(f"{len(candidates):5}  sites in all")
        return 0

    rng = random.Random(args.seed)
    chosen = rng.sample(candidates, min(args.count, len(candidates)))
    chosen.sort(key=lambda m: (m.path, m.line, m.col, m.what))
    equivalent = load_equivalent(pathlib.Path(args.equivalent))

    default_dir = "build-mutate-sanitize" if args.sanitize else "build-mutate"
    build_dir = (ROOT / (args.build_dir or default_dir)).resolve()
    configure(build_dir, args.sanitize)
    targets = ["model_test"] + (["sim_test"] if args.with_sim else [])
    binaries = [build_dir / "tests" / "core" / "model_test"]
    if args.with_sim:
        binaries.append(build_dir / "tests" / "sim" / "sim_test")
    if args.render:
        targets = ["render_test"]
        binaries = [build_dir / "tests" / "render" / "render_test"]
    r = build(build_dir, args.jobs, targets)
    if r.returncode:
        sys.exit("the unmutated tree does not build:\n" + r.stdout[-3000:])
    outcome, detail = test(binaries, args.timeout)
    if outcome != "survived":
        sys.exit(f"the unmutated tree fails its tests ({outcome} {detail}); fix that first")

    originals = {}

    def restore(*_):
        for p, text in originals.items():
            (ROOT / p).write_text(text)
        originals.clear()

    def interrupted(signum, _frame):
        restore()
        sys.exit(128 + signum)

    signal.signal(signal.SIGINT, interrupted)
    signal.signal(signal.SIGTERM, interrupted)

    log = open(args.log, "w") if args.log else None
    results = []
    began = time.time()
    try:
        for i, m in enumerate(chosen, start=1):
            f = ROOT / m.path
            text = f.read_text()
            originals[m.path] = text
            f.write_text("\n".join(m.apply(text.split("\n"))))
            r = build(build_dir, args.jobs, targets)
            if r.returncode:
                outcome, detail = "not viable", ""
            else:
                outcome, detail = test(binaries, args.timeout)
            restore()
            if outcome == "survived" and m.key() in equivalent:
                outcome = "equivalent"
            results.append((m, outcome, detail))
            line = f"[{i}/{len(chosen)}] {outcome:10} {m.path}:{m.line}  {m.what}  {detail}"
            print(line, flush=True)
            if log:
                log.write(f"{outcome}\t{m.key()}\t{detail}\n")
                log.flush()
    finally:
        restore()
        if log:
            log.close()
        # Leave the build folder matching the tree again.
        build(build_dir, args.jobs, targets)

    count = {k: 0 for k in ("killed", "timeout", "survived", "equivalent", "not viable")}
    for _, outcome, _ in results:
        count[outcome] += 1
    print()
    survivors = [m for m, o, _ in results if o == "survived"]
    if survivors:
        print("Survivors:")
        current = None
        for m in survivors:
            if m.path != current:
                current = m.path
                print(f"  {m.path}")
            print(f"    {m.path}:{m.line}  {m.what}\n      - {m.text.strip()}\n"
                  f"      + {m.mutated_line().strip()}")
    judged = [m for m, o, _ in results if o == "equivalent"]
    if judged:
        print("Survivors judged equivalent:")
        for m in judged:
            print(f"    {m.path}:{m.line}  {m.what}  {m.text.strip()}")
    killed = count["killed"] + count["timeout"]
    scored = killed + count["survived"]
    print(f"\nseed {args.seed}, {len(results)} mutants from {len(candidates)} sites in "
          f"{time.time() - began:.0f} s: {count['killed']} killed, {count['timeout']} timed out, "
          f"{count['survived']} survived, {count['equivalent']} equivalent, "
          f"{count['not viable']} not viable")
    if scored:
        print(f"score: {killed}/{scored} = {100.0 * killed / scored:.1f} % of the mutants "
              "that change behaviour are killed")
    return 0


if __name__ == "__main__":
    sys.exit(main())
