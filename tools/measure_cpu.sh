#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# CPU use of the desktop program under Xvfb: the time to the launcher, 30 s
# in the clock and 30 s of play, as utime+stime ticks (10 ms) from /proc.
# Run from the repository's root after a build. ZOOM (percent, default 100)
# shows the handheld at that size, on a screen of SCREEN (default 1024x768,
# or 3840x2160 when zoomed).
set -euo pipefail
program=${1:-build/cantiere}
zoom=${ZOOM:-100}
screen=${SCREEN:-$( ((zoom > 100)) && echo 3840x2160 || echo 1024x768)}
display=:$((60 + RANDOM % 30))
settings=$(mktemp -d)
mkdir -p "$settings/Lanterna"
printf '[General]\nZoom=%s\n' "$zoom" >"$settings/Lanterna/Cantiere.ini"
Xvfb "$display" -screen 0 "${screen}x24" >/dev/null 2>&1 &
xvfb=$!
trap 'kill $pid $xvfb 2>/dev/null; rm -rf "$settings"' EXIT
export DISPLAY=$display XDG_CONFIG_HOME=$settings
sleep 1

cpu() { awk '{print $14 + $15}' /proc/"$pid"/stat; }
geometry() {  # X Y of a window
  local WINDOW X Y WIDTH HEIGHT SCREEN
  eval "$(xdotool getwindowgeometry --shell "$1")"
  echo "$X $Y"
}
# A click at catalogue point (x, y) of the handheld, wherever it is.
click() {
  local hx hy
  read -r hx hy <<<"$(geometry "$handheld")"
  xdotool mousemove $((hx + ($1 * zoom + 50) / 100)) $((hy + ($2 * zoom + 50) / 100)) click 1
}

start=$(date +%s%N)
"$program" >/dev/null 2>&1 &
pid=$!
until launcher=$(xdotool search --onlyvisible --name "About Cantiere" 2>/dev/null); do sleep 0.01; done
echo "launcher on screen after $((($(date +%s%N) - start) / 1000000)) ms"
sleep 0.5
read -r lx ly <<<"$(geometry "$launcher")"
# "(no sound)", PLAY.
xdotool mousemove $((lx + 170)) $((ly + 252)) click 1; sleep 0.4
xdotool mousemove $((lx + 190)) $((ly + 292)) click 1; sleep 0.3
xdotool mousemove $((lx + 123)) $((ly + 292)) click 1; sleep 0.8
handheld=$(xdotool search --onlyvisible --name "^Cantiere \(Ludoria\) Simulator$" | head -n1)
click 232 150; sleep 0.5   # the lid
click 397 393; sleep 1     # Time: the clock
xdotool mousemove 0 0
before=$(cpu); sleep 30
echo "clock at $zoom %: $(($(cpu) - before)) ticks in 30 s"

click 397 334; sleep 0.5   # Game A
xdotool mousemove 0 0
before=$(cpu)
for _ in $(seq 30); do xdotool key ctrl; sleep 1; done
echo "play at $zoom %, a Ctrl a second: $(($(cpu) - before)) ticks in 30 s"
