#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# CPU use of the desktop program under Xvfb: the time to the launcher, 30 s
# in the clock and 30 s of play, as utime+stime ticks (10 ms) from /proc.
# Run from the repository's root after a build. ZOOM (percent, default 100)
# shows the handheld at that size, on a screen of SCREEN (default 1024x768,
# or 3840x2160 when zoomed).
set -uo pipefail
program=$(realpath "${1:-build/cantiere}")
zoom=${ZOOM:-100}
screen=${SCREEN:-$( ((zoom > 100)) && echo 3840x2160 || echo 1024x768)}
source "$(dirname "$0")/../tests/frontend/desktop_lib.sh" measure_cpu Xvfb xdotool
own_folders
printf '[General]\nZoom=%s\n' "$zoom" >"$XDG_CONFIG_HOME/Lanterna/Cantiere.ini"
start_xvfb "${screen}x24"
unset WAYLAND_DISPLAY
export QT_QPA_PLATFORM=xcb

cpu() { awk '{print $14 + $15}' /proc/"$app_pid"/stat; }
# A click at catalogue point (x, y) of the handheld, wherever it is.
click() {
  local hx hy
  read -r hx hy _ <<<"$(geometry "$handheld")"
  xdotool mousemove $((hx + ($1 * zoom + 50) / 100)) $((hy + ($2 * zoom + 50) / 100)) click 1
}

start=$(date +%s%N)
"$program" >/dev/null 2>&1 &
app_pid=$!
until find_launcher "$app_pid"; do sleep 0.01; done
echo "launcher on screen after $((($(date +%s%N) - start) / 1000000)) ms"
sleep 0.5
choose_no_sound "$lx" "$ly"
sleep 0.3
click_play "$lx" "$ly"
sleep 0.8
handheld=$(window_named 'Cantiere \(Ludoria\) Simulator')
click_lid $(geometry "$handheld")
sleep 0.5
click 397 393; sleep 1     # Time: the clock
xdotool mousemove 0 0
before=$(cpu); sleep 30
echo "clock at $zoom %: $(($(cpu) - before)) ticks in 30 s"

click 397 334; sleep 0.5   # Game A
xdotool mousemove 0 0
before=$(cpu)
for _ in $(seq 30); do xdotool key ctrl; sleep 1; done
echo "play at $zoom %, a Ctrl a second: $(($(cpu) - before)) ticks in 30 s"
