#!/usr/bin/env bash
# CPU use of the desktop program under Xvfb: the time to the launcher, 30 s
# in the clock and 30 s of play, as utime+stime ticks (10 ms) from /proc.
# Run from the repository's root after a build.
set -euo pipefail
program=${1:-build/cantiere}
display=:$((60 + RANDOM % 30))
settings=$(mktemp -d)
Xvfb "$display" -screen 0 1024x768x24 >/dev/null 2>&1 &
xvfb=$!
trap 'kill $pid $xvfb 2>/dev/null; rm -rf "$settings"' EXIT
export DISPLAY=$display XDG_CONFIG_HOME=$settings
sleep 1

cpu() { awk '{print $14 + $15}' /proc/"$pid"/stat; }

start=$(date +%s%N)
"$program" >/dev/null 2>&1 &
pid=$!
until xdotool search --name "About Cantiere" >/dev/null 2>&1; do sleep 0.01; done
echo "launcher on screen after $((($(date +%s%N) - start) / 1000000)) ms"

# The launcher is centred on 1024 x 768 at (389, 227): "(no sound)", PLAY.
xdotool mousemove 559 479 click 1; sleep 0.4
xdotool mousemove 579 519 click 1; sleep 0.3
xdotool mousemove 512 519 click 1; sleep 0.8
xdotool mousemove 500 500 click 1; sleep 0.5     # the lid; the window is at (280, 98)
xdotool mousemove 677 491 click 1; sleep 1       # Time: the clock
before=$(cpu); sleep 30
echo "clock: $(($(cpu) - before)) ticks in 30 s"

xdotool mousemove 677 432 click 1; sleep 0.5     # Game A
before=$(cpu)
for _ in $(seq 30); do xdotool key ctrl; sleep 1; done
echo "play, a Ctrl a second: $(($(cpu) - before)) ticks in 30 s"
