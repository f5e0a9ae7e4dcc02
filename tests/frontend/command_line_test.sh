#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# cantiere's command line, data folder and display check, with no display:
# what it prints and the status it ends with.
#
#   command_line_test.sh CANTIERE
set -uo pipefail
cantiere=$(realpath "$1")
work=$(mktemp -d)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null; done
  wait 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
export XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work/run"
mkdir -p "$work/run" && chmod 700 "$work/run"

failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

# expect STATUS STDERR_PATTERN STDOUT_PATTERN -- COMMAND...: the status, one
# line on standard error matching (or none for ""), standard output matching.
expect() {
  local status=$1 err=$2 out=$3
  shift 4
  "$@" >"$work/out" 2>"$work/err" </dev/null
  local got=$?
  ((got == status)) || fail "$* ended with $got, not $status: $(cat "$work/err")"
  if [[ -z $err ]]; then
    [[ ! -s $work/err ]] || fail "$* printed on standard error: $(cat "$work/err")"
  else
    (($(wc -l <"$work/err") == 1)) || fail "$* printed not one line: $(cat "$work/err")"
    LC_ALL=C grep -qE "$err" "$work/err" || fail "$* said: $(cat "$work/err")"
  fi
  [[ -z $out ]] || grep -qE -- "$out" "$work/out" || fail "$* printed: $(cat "$work/out")"
}

headless=(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM)
no_display='^cantiere: cannot open a window \(.*\); cantiere-sim runs the handheld without a display$'
expect 1 "$no_display" "" -- "${headless[@]}" "$cantiere"
expect 1 "$no_display" "" -- "${headless[@]}" DISPLAY=:31999 "$cantiere"
expect 1 "$no_display" "" -- "${headless[@]}" QT_QPA_PLATFORM=no-such-platform "$cantiere"
expect 1 "$no_display" "" -- "${headless[@]}" "$cantiere" -platform no-such-platform
# A Wayland desktop without XWayland: the line says what is missing.
expect 1 'no X display is set \(XWayland\) and Qt.s Wayland platform (is not installed|cannot reach the compositor at WAYLAND_DISPLAY "/nonexistent")' "" -- \
  "${headless[@]}" WAYLAND_DISPLAY=/nonexistent "$cantiere"
for option in "--data DIR" "--replay FILE" "--record FILE" --version --help-all; do
  expect 0 "" "^  $option " -- "${headless[@]}" "$cantiere" --help
done
expect 2 "unknown option --frob" "" -- "${headless[@]}" "$cantiere" --frob
# SDL and its mixer are loaded as sound or controllers first need them: a
# machine where neither loads still starts the program.
mkdir -p "$work/nosdl"
touch "$work/nosdl/libSDL2-2.0.so.0" "$work/nosdl/libSDL2_mixer-2.0.so.0"
expect 0 "" "^  --version " -- "${headless[@]}" LD_LIBRARY_PATH="$work/nosdl" "$cantiere" --help
expect 1 "$no_display" "" -- "${headless[@]}" LD_LIBRARY_PATH="$work/nosdl" "$cantiere"

# --data must name a folder holding SOUND/, before any display is looked for.
touch "$work/file"
mkdir -p "$work/empty"
for bad in /nonexistent "$work/file" "$work/empty" ""; do
  expect 2 '^cantiere: --data ".*" is not a folder holding SOUND/$' "" -- "${headless[@]}" "$cantiere" --data "$bad"
done
expect 2 "needs a DIR" "" -- "${headless[@]}" "$cantiere" --data
# A file Qt cannot name (its path, from the folder it was started in, is
# not UTF-8) is refused rather than read from a look-alike name; a --data folder so named is that folder (below).
mkdir -p "$work/"$'\xff\xfe'
for replay in "$work/"$'\xff\xfe.sim' "game.sim"; do
  expect 2 "^cantiere: --replay .*: a path that is not UTF-8 cannot be read" "" -- \
    env -C "$work/"$'\xff\xfe' "${headless[@]}" "$cantiere" --replay "$replay"
done

# The folder it was started from is never its data folder: here a folder
# with a SOUND/ of its own, while the program has no data folder at all.
mkdir -p "$work/bin" "$work/decoy/SOUND" "$work/data/SOUND"
cp "$cantiere" "$work/bin/cantiere"
cwd_of() {  # the working folder of a program started in the background
  local pid=$!
  pids+=("$pid")
  for _ in $(seq 100); do
    [[ $(readlink "/proc/$pid/cwd" 2>/dev/null) == "$1" ]] && break
    sleep 0.05
  done
  readlink "/proc/$pid/cwd"
  kill "$pid" 2>/dev/null
}
(cd "$work/decoy" && exec env QT_QPA_PLATFORM=offscreen "$work/bin/cantiere") 2>"$work/err" &
[[ $(cwd_of /) == / ]] || fail "without a data folder it works in $(readlink "/proc/$!/cwd")"
grep -q "no data folder found" "$work/err" || fail "no word about the missing data folder: $(cat "$work/err")"
for data in "$work/data" "$work/"$'\xff\xfe'; do
  mkdir -p "$data/SOUND"
  (cd "$work/decoy" && exec env QT_QPA_PLATFORM=offscreen "$work/bin/cantiere" --data "$data") 2>/dev/null &
  [[ $(cwd_of "$data") == "$data" ]] || fail "--data $(printf %q "$data") is not its working folder"
done

if ((failures)); then
  echo "$failures failed"
  exit 1
fi
echo "all passed"
