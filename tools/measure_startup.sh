#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The desktop program's start-up against a bare Qt Widgets dialog's, both
# started the same way under one Xvfb with no window manager: the wall and CPU
# time from the start to the first window on screen (the launcher), and the
# resident memory half a second later, in pairs that alternate which runs
# first, as medians. Run from the repository's root after a build:
#   tools/measure_startup.sh [PROGRAM [REFERENCE]]
# PROGRAM defaults to build/cantiere, REFERENCE to the bare dialog (another
# build of the program sets two builds against each other). PAIRS (default
# 15) sets the number of pairs, BUILD the build folder.
set -euo pipefail
build=${BUILD:-build}
program=${1:-$build/cantiere}
reference=${2:-$build/tools/bare_dialog}
pairs=${PAIRS:-15}
cmake --build "$build" --target bare_dialog first_window >/dev/null
timer=$build/tools/first_window

work=$(mktemp -d)
display=:$((90 + RANDOM % 30))
# -noreset: the server would otherwise reset as each program leaves, and
# refuse the next one meanwhile.
Xvfb "$display" -noreset -screen 0 1024x768x24 >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null; wait $xvfb 2>/dev/null; rm -rf "$work"' EXIT
mkdir -m 700 "$work/runtime" "$work/config"
export DISPLAY=$display XDG_CONFIG_HOME=$work/config XDG_RUNTIME_DIR=$work/runtime
for _ in $(seq 100); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.05; done

# One run: "WALL_MS CPU_MS RSS_KB HWM_KB" appended to the file $1.
run() {
  local line
  line=$("$timer" "${@:2}" 2>/dev/null)
  [[ $line =~ ms=([0-9.]+)\ cpu_ms=([0-9.]+)\ rss_kb=([0-9]+)\ hwm_kb=([0-9]+) ]] || {
    echo "no window from $2" >&2
    exit 1
  }
  echo "${BASH_REMATCH[1]} ${BASH_REMATCH[2]} ${BASH_REMATCH[3]} ${BASH_REMATCH[4]}" >>"$1"
}
# A warm-up each, so neither pays for a cold disk cache.
run /dev/null "$program"
run /dev/null "$reference"
for i in $(seq "$pairs"); do
  if ((i % 2)); then
    run "$work/a" "$program"
    run "$work/b" "$reference"
  else
    run "$work/b" "$reference"
    run "$work/a" "$program"
  fi
done

median() {  # of column $2 of file $1
  awk -v c="$2" '{print $c}' "$1" | sort -g | awk '{v[NR] = $1}
    END {print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2}'
}
row() {
  local wall cpu rss hwm
  wall=$(median "$2" 1) cpu=$(median "$2" 2) rss=$(median "$2" 3) hwm=$(median "$2" 4)
  awk -v n="$1" -v w="$wall" -v c="$cpu" -v r="$rss" -v h="$hwm" -v lo="$(cut -d' ' -f1 "$2" | sort -g | head -n1)" \
    -v hi="$(cut -d' ' -f1 "$2" | sort -g | tail -n1)" \
    'BEGIN {printf "%-16s %8.1f %8.1f %8.1f %8.1f   (wall %s to %s ms)\n", n, w, c, r / 1024, h / 1024, lo, hi}'
}
echo "$pairs pairs, alternating which starts first; medians"
printf '%-16s %8s %8s %8s %8s\n' "" "wall ms" "CPU ms" "RSS MB" "HWM MB"
row "$(basename "$program")" "$work/a"
row "$(basename "$reference")" "$work/b"
paste -d' ' "$work/a" "$work/b" | awk '{print $1 / $5}' >"$work/ratios"
awk -v a="$(median "$work/a" 1)" -v b="$(median "$work/b" 1)" -v r="$(median "$work/ratios" 1)" \
  'BEGIN {printf "wall time: %.2fx by the medians, %.2fx by the median of the pairs'"'"' ratios\n", a / b, r}'
