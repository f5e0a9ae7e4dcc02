#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Mutation runner for the toolkit-free core, the toolkit-free layer, the
renderer, the driver and the desktop front end: how many small faults put
into their .cpp files do their tests notice?

Each mutant is one small change to one line: a flipped comparison
(`<` to `<=` or `>=`, `==` to `!=`, ...), an integer constant off by one,
`&&` for `||` and back, `true` for `false` and back, a negated `if`/`while`
condition, or a deleted statement (a call, an assignment, an increment).
The runner lists every such site in the folders asked for, picks --count of
them with --seed (the same seed and tree give the same mutants), and for
each one writes the change, rebuilds only the tests that judge that file in
its own build folder (one object and their links), runs them cheapest first
with a time limit and stops at the first failing test, then puts the file
back. A mutant is killed when a judge fails or runs out of time, survives
when every test passes, and is not viable when it does not compile.
Survivors are reported by file with file:line, the change and the line.

Which tests judge which folder (JUDGES below; the first row whose folder a
file lies in):

    core/       model_test; with --with-sim also sim_test, which reaches
                core/script/ through the cantiere-sim program
    common/     common_test, settings_test, stored_files_on_refusing_disks
                (files on a full and a read-only disk; as root, else it is
                skipped) and sim_test (the driver reads and writes its
                --settings file through common/files/)
    render/     render_test, art_loader_test, lcd_effects_test (the look
                with the real art) and sim_test's snapshot tests (the
                README's pictures, pixel for pixel)
    sim/        sim_test
    frontend/   the cantiere_command_line shell test, gamepad_test,
                sdl_output_test, sdl_on_demand_test and desktop_test (Qt's
                offscreen platform)

    python3 tools/mutate.py                      # 100 mutants of core/, seed 1
    python3 tools/mutate.py --seed 7 --count 150 --build-dir build-mutate
    python3 tools/mutate.py --list               # count the sites, run nothing
    python3 tools/mutate.py --only core/handheld/player.cpp --count 30
    python3 tools/mutate.py --grep 'HookPhase > 0' --count 1000   # one line's mutants
    python3 tools/mutate.py --area common --count 1000
    python3 tools/mutate.py --area frontend --seed 3 --count 300

--area names the folders to mutate (core, common, render, sim, frontend or
all; repeatable; default core). --render is --area render.
--build-dir (default build-mutate) is configured on first use at -O1
without debug information, so it does not disturb the ordinary build
folder: a model-only build for core/ and common/, the full build (default
build-mutate-full) when render/, sim/ or frontend/ is asked for, since
their judges need the art loader, Qt and SDL.
--sanitize configures it (default build-mutate-sanitize, or
build-mutate-full-sanitize) with AddressSanitizer and
UndefinedBehaviorSanitizer, which also kill mutants that only read or write
out of bounds; slower, for a second look at the survivors of a plain run.
--equivalent names a file of mutants judged equivalent (by default
tools/mutate-equivalent.txt): one per line, "path | change | line text" as
the report prints them, with a "#" comment saying why. Survivors listed
there are reported apart and left out of the score, which is
killed / (killed + other survivors), given for the whole run and, when
the run spans several folders, for each.

The file under test is restored after every mutant, also on Ctrl-C; do not
edit the mutated folders while the runner works. Exit status: 0 when the
run finished, 1 on a broken baseline or set-up.
"""
import argparse
import pathlib
import os
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


class Judge:
    """A test that judges mutants: a GoogleTest binary (its target's name,
    its path in the build folder) or a ctest test run by name, with the
    targets it needs built."""
    __slots__ = ("name", "targets", "binary", "env", "gtest_filter")

    def __init__(self, name, targets, binary=None, env=None, gtest_filter=None):
        self.name, self.targets, self.binary = name, targets, binary
        self.env, self.gtest_filter = env or {}, gtest_filter


def gtest(target, folder, **kw):
    return Judge(target, [target], f"tests/{folder}/{target}", **kw)


OFFSCREEN = {"QT_QPA_PLATFORM": "offscreen"}
MODEL_TEST = gtest("model_test", "core")
SIM_TEST = gtest("sim_test", "sim")
# Cheapest first: the first failing judge ends a mutant's run.
JUDGES = {
    "core": [MODEL_TEST],
    "common": [gtest("settings_test", "common"), gtest("common_test", "common"),
               Judge("stored_files_on_refusing_disks", ["stored_files_test"]), SIM_TEST],
    "render": [gtest("art_loader_test", "render"), gtest("lcd_effects_test", "frontend"),
               gtest("render_test", "render"),
               gtest("sim_test", "sim", gtest_filter="*Snapshot*:*Picture*")],
    "sim": [SIM_TEST],
    "frontend": [Judge("cantiere_command_line", ["cantiere"]),
                 gtest("gamepad_test", "frontend", env=OFFSCREEN),
                 gtest("sdl_output_test", "frontend", env=OFFSCREEN),
                 gtest("sdl_on_demand_test", "frontend", env=OFFSCREEN,
                       gtest_filter="SdlOnDemand.*"),
                 gtest("desktop_test", "frontend", env=OFFSCREEN)],
}
# Their judges need the art loader, Qt or SDL, which a model-only build has not.
FULL_BUILD_AREAS = {"render", "sim", "frontend"}


def library_sources(folder, *libraries):
    """The .cpp files of the named libraries, as the folder's CMakeLists lists them."""
    text = (ROOT / folder / "CMakeLists.txt").read_text()
    out = []
    for lib in libraries:
        block = re.search(rf"add_library\({lib} STATIC(.*?)\)", text, re.S)
        if block:
            out += [ROOT / folder / n for n in block.group(1).split() if n.endswith(".cpp")]
    return out


def area_sources(area):
    if area == "render":
        return library_sources("render", "cantiere_render", "cantiere_art_loader")
    return list((ROOT / area).rglob("*.cpp"))


def area_of(path):
    return path.split("/", 1)[0]


def judges_of(path, with_sim):
    area = area_of(path)
    return JUDGES[area] + ([SIM_TEST] if area == "core" and with_sim else [])


def all_sites(only, areas):
    files = sorted({f for a in areas for f in area_sources(a)})
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


def run(cmd, timeout=None, cwd=ROOT, env=None):
    # A mutant may print any bytes (a name read out of range, say). A run out
    # of time is ended with every process it started (the driver, a shell
    # test's program), so none outlives it.
    full_env = dict(os.environ, **env) if env else None
    with subprocess.Popen(cmd, cwd=cwd, stdout=subprocess.PIPE, stderr=subprocess.STDOUT,
                          text=True, errors="replace", env=full_env,
                          start_new_session=True) as proc:
        try:
            out, _ = proc.communicate(timeout=timeout)
        except subprocess.TimeoutExpired:
            os.killpg(proc.pid, signal.SIGKILL)
            proc.communicate()
            raise
    return subprocess.CompletedProcess(cmd, proc.returncode, out)


def configure(build, sanitize, full):
    if (build / "CMakeCache.txt").exists():
        return
    cmd = ["cmake", "-S", str(ROOT), "-B", str(build), "-DCMAKE_BUILD_TYPE=RelWithDebInfo",
           "-DCMAKE_CXX_FLAGS_RELWITHDEBINFO=-O1 -DNDEBUG",
           f"-DCANTIERE_MODEL_ONLY={'OFF' if full else 'ON'}",
           f"-DCANTIERE_SANITIZE={'ON' if sanitize else 'OFF'}"]
    if shutil.which("ccache"):
        cmd.append("-DCMAKE_CXX_COMPILER_LAUNCHER=ccache")
    r = run(cmd)
    if r.returncode:
        sys.exit("configure failed:\n" + r.stdout[-3000:])


def build(build_dir, jobs, targets):
    return run(["cmake", "--build", str(build_dir), "-j", str(jobs), "--target", *targets])


def targets_of(judges):
    return list(dict.fromkeys(t for j in judges for t in j.targets))


def run_judge(judge, build_dir, timeout):
    """The judge's exit status and output."""
    if judge.binary is None:
        return run(["ctest", "--test-dir", str(build_dir), "-R", f"^{judge.name}$",
                    "--output-on-failure", "--no-tests=error"], timeout=timeout)
    cmd = [str(build_dir / judge.binary), "--gtest_fail_fast", "--gtest_brief=1"]
    if judge.gtest_filter:
        cmd.append(f"--gtest_filter={judge.gtest_filter}")
    return run(cmd, timeout=timeout, env=judge.env)


def test(judges, build_dir, timeouts):
    """'killed', 'survived' or 'timeout', and the first failing test."""
    for judge in judges:
        try:
            r = run_judge(judge, build_dir, timeouts[judge.name])
        except subprocess.TimeoutExpired:
            return "timeout", judge.name
        if r.returncode != 0:
            failed = re.findall(r"^\[  FAILED  \] (\S+)", r.stdout, re.M)
            return "killed", failed[0] if failed else f"{judge.name} exit {r.returncode}"
    return "survived", ""


def main():
    ap = argparse.ArgumentParser(description=__doc__.split("\n\n")[0],
                                 formatter_class=argparse.RawDescriptionHelpFormatter)
    ap.add_argument("--seed", type=int, default=1)
    ap.add_argument("--count", type=int, default=100)
    ap.add_argument("--build-dir", help="default build-mutate, build-mutate-full for render/, "
                    "sim/ and frontend/, with -sanitize under --sanitize")
    ap.add_argument("--sanitize", action="store_true",
                    help="build the mutants with the address and undefined-behaviour sanitizers")
    ap.add_argument("--jobs", type=int, default=2)
    ap.add_argument("--timeout", type=float, default=60.0,
                    help="seconds per test run, or five times the unmutated run if longer")
    ap.add_argument("--only", action="append", default=[],
                    help="path prefix under the tree, e.g. core/handheld/ (repeatable)")
    ap.add_argument("--with-sim", action="store_true",
                    help="also build and run the driver's tests (sim_test), which reach "
                    "core/script/ through the cantiere-sim program")
    ap.add_argument("--render", action="store_true",
                    help="mutate the renderer (render/): the same as --area render")
    ap.add_argument("--area", action="append", default=[],
                    choices=sorted(JUDGES) + ["all"],
                    help="a folder to mutate, judged by its tests (repeatable; default core)")
    ap.add_argument("--grep", help="only mutants whose 'path | change | line' matches this "
                    "regular expression, e.g. to try the mutants of one line")
    ap.add_argument("--equivalent", default=str(DEFAULT_EQUIVALENT))
    ap.add_argument("--list", action="store_true", help="count the sites by file and stop")
    ap.add_argument("--log", help="also write one line per mutant to this file")
    args = ap.parse_args()

    areas = set(args.area) or ({"render"} if args.render else {"core"})
    if args.render:
        areas.add("render")
    if "all" in areas:
        areas = set(JUDGES)
    candidates = all_sites(args.only, areas)
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

    # Objects the ordinary build or an earlier run compiled come from the cache.
    os.environ.setdefault("CCACHE_BASEDIR", str(ROOT))
    os.environ.setdefault("CCACHE_NOHASHDIR", "1")
    full = bool(areas & FULL_BUILD_AREAS)
    default_dir = "build-mutate" + ("-full" if full else "") + (
        "-sanitize" if args.sanitize else "")
    build_dir = (ROOT / (args.build_dir or default_dir)).resolve()
    configure(build_dir, args.sanitize, full)
    # The unmutated tree must pass every judge the chosen mutants will meet;
    # how long each takes sets its time limit.
    all_judges = list({j.name: j for m in chosen for j in judges_of(m.path, args.with_sim)}
                      .values())
    r = build(build_dir, args.jobs, targets_of(all_judges))
    if r.returncode:
        sys.exit("the unmutated tree does not build:\n" + r.stdout[-3000:])
    timeouts = {}
    for judge in all_judges:
        began = time.time()
        outcome, detail = test([judge], build_dir, {judge.name: None})
        if outcome != "survived":
            sys.exit(f"the unmutated tree fails its tests ({outcome} {detail}); fix that first")
        timeouts[judge.name] = max(args.timeout, 5 * (time.time() - began))

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
            judges = judges_of(m.path, args.with_sim)
            r = build(build_dir, args.jobs, targets_of(judges))
            if r.returncode:
                outcome, detail = "not viable", ""
            else:
                outcome, detail = test(judges, build_dir, timeouts)
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
        build(build_dir, args.jobs, targets_of(all_judges))

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
    results_areas = sorted({area_of(m.path) for m, _, _ in results})
    if len(results_areas) > 1:
        for area in results_areas:
            mine = [o for m, o, _ in results if area_of(m.path) == area]
            k = sum(o in ("killed", "timeout") for o in mine)
            n = k + mine.count("survived")
            share = f" = {100.0 * k / n:.1f} %" if n else ""
            plural = "" if len(mine) == 1 else "s"
            print(f"  {area}/: {k}/{n}{share} ({len(mine)} mutant{plural}, "
                  f"{mine.count('equivalent')} equivalent, {mine.count('not viable')} not viable)")
    return 0


if __name__ == "__main__":
    sys.exit(main())
