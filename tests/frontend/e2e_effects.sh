#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The real program with its LCD effects on (no stored value: the default),
# under its own X server: the opened case, once its segments have settled,
# is cantiere-sim's snapshot of the same state 300 ms after the click, and
# the settled window costs no processor time.
#
#   e2e_effects.sh CANTIERE CANTIERE_SIM
set -uo pipefail

cantiere=$(realpath "$1")
sim=$(realpath "$2")
source "$(dirname "$0")/desktop_lib.sh" e2e_effects Xvfb xdotool

start_xvfb 1024x768x24
export QT_QPA_PLATFORM=xcb
unset WAYLAND_DISPLAY
own_folders

"$cantiere" >"$work/app.log" 2>&1 &
app_pid=$!
wait_for_launcher "$app_pid"
choose_no_sound "$lx" "$ly"
sleep 0.3
click_play "$lx" "$ly"
handheld=""
placed() {
  handheld=$(window_named 'Cantiere \(Ludoria\) Simulator')
  [[ -n $handheld ]] && [[ $(xdotool getwindowgeometry "$handheld") == *"280,369"* ]]
}
wait_for 5 placed || die "PLAY did not place the handheld"
click_lid 280 369 464 300
xdotool mousemove 5 5
opened() { [[ $(xdotool getwindowgeometry "$handheld") == *"464x571"* ]]; }
wait_for 5 opened || die "the lid did not open"
sleep 0.6

import -window "$handheld" "$work/open.png" || die "no screenshot"
printf 'play 2\nclick Im_Front\nwait 300\nsnapshot %s\n' "$work/sim.png" | "$sim" >/dev/null ||
  die "cantiere-sim could not draw its snapshot"
# The window is shaped like the case and shows the desktop round it: the
# case alone is compared, up to a band of its edge.
convert "$work/sim.png" -fill '#ff00ff' -fuzz 14% -draw 'color 0,0 floodfill' -fuzz 0 \
  -fill black +opaque '#ff00ff' -fill white -opaque '#ff00ff' -morphology Dilate Square:3 \
  "$work/outside.png"
case_of() { convert "$1" -size 464x571 xc:black "$work/outside.png" -composite "$2"; }
differing() { compare -metric AE "$1" "$2" null: 2>&1 | awk '{printf "%d", $1}'; }
case_of "$work/open.png" "$work/open-case.png"
case_of "$work/sim.png" "$work/sim-case.png"
differ=$(differing "$work/open-case.png" "$work/sim-case.png")
echo "open case with LCD effects: $differ pixels differ from cantiere-sim's snapshot"
((differ == 0)) || die "the open case differs from the snapshot in $differ pixels"
printf '[General]\nLcdEffects=0\n' >"$work/plain.ini"
printf 'play 2\nclick Im_Front\nwait 300\nsnapshot %s\n' "$work/plain.png" |
  "$sim" --settings "$work/plain.ini" >/dev/null
case_of "$work/plain.png" "$work/plain-case.png"
plain=$(differing "$work/open-case.png" "$work/plain-case.png")
((plain > 5000)) || die "the window looks like the plain LCD ($plain pixels differ)"

# Settled, nothing moves: no frame timer, no processor time (10 ms ticks).
cpu() { awk '{print $14 + $15}' "/proc/$app_pid/stat"; }
before=$(cpu)
sleep 2
used=$(($(cpu) - before))
echo "settled window: $used ticks of 10 ms in 2 s"
((used <= 2)) || die "the settled window used $used ticks in 2 s"

xdotool key Escape
wait_for 5 bash -c "! kill -0 $app_pid 2>/dev/null" || true
echo "1 passed, 0 failed"
