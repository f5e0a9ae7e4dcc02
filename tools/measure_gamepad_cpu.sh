#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# CPU use of the desktop program under Xvfb with and without a game
# controller attached: 30 s in the clock and 30 s of play each way, as
# utime+stime ticks (10 ms) and wake-ups (voluntary context switches of all
# its threads) from /proc. The controller is a virtual one of
# the test pads (CANTIERE_TEST_GAMEPAD); a program without them measures
# the phases without a controller only. Run from the repository's root.
set -euo pipefail
program=${1:-build/cantiere}
seconds=${2:-30}
display=:$((60 + RANDOM % 30))
work=$(mktemp -d)
mkdir -p "$work/pads" "$work/config"
mkfifo "$work/pads/commands"
Xvfb "$display" -screen 0 1024x768x24 >/dev/null 2>&1 &
xvfb=$!
pid=""
trap 'kill $pid $xvfb 2>/dev/null; rm -rf "$work"' EXIT
export DISPLAY=$display XDG_CONFIG_HOME=$work/config CANTIERE_TEST_GAMEPAD=$work/pads
sleep 1

cpu() { awk '{print $14 + $15}' /proc/"$pid"/stat; }
wakes() { cat /proc/"$pid"/task/*/status | awk '/^voluntary_ctxt_switches/ { n += $2 } END { print n }'; }
# A program without the test pads never opens the FIFO: the write gives up.
pad() { timeout 2 bash -c 'printf "%s\n" "$1" >"$2"' _ "$*" "$work/pads/commands"; }
measure() {  # LABEL, then the command run once a second
  local label=$1 before woken
  shift
  before=$(cpu)
  woken=$(wakes)
  for _ in $(seq "$seconds"); do "$@"; sleep 1; done
  echo "$label: $(($(cpu) - before)) ticks, $(($(wakes) - woken)) wake-ups in $seconds s"
}
idle() { :; }
ctrl() { xdotool key ctrl; }
jump() { pad press 1 a; pad release 1 a; }

"$program" >/dev/null 2>&1 &
pid=$!
until xdotool search --name "About Cantiere" >/dev/null 2>&1; do sleep 0.01; done

# The launcher is centred on 1024 x 768 at (389, 227): "(no sound)", PLAY.
xdotool mousemove 559 479 click 1; sleep 0.4
xdotool mousemove 579 519 click 1; sleep 0.3
xdotool mousemove 512 519 click 1; sleep 0.8
xdotool mousemove 500 500 click 1; sleep 0.5     # the lid; the window is at (280, 98)
xdotool mousemove 677 491 click 1; sleep 1       # Time: the clock

measure "clock, no controller" idle
pads=yes
pad attach || pads=no
[[ $pads == yes ]] && measure "clock, a controller attached" idle
[[ $pads == yes ]] && pad detach 1

xdotool mousemove 677 432 click 1; sleep 0.5     # Game A
measure "play, Ctrl a second, no controller" ctrl
[[ $pads == yes ]] || { echo "(no test pads in $program)"; exit 0; }
xdotool mousemove 706 475 click 1; sleep 0.3     # ACL
xdotool mousemove 677 432 click 1; sleep 0.5     # Game A again
pad attach
measure "play, A a second on a controller" jump
