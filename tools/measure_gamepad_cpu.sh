#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# CPU use of the desktop program under Xvfb with and without a game
# controller attached: 30 s in the clock and 30 s of play each way, as
# utime+stime ticks (10 ms) and wake-ups (voluntary context switches of all
# its threads) from /proc. The controller is a virtual one of
# the test pads (CANTIERE_TEST_GAMEPAD); a program without them measures
# the phases without a controller only. Run from the repository's root.
set -uo pipefail
program=$(realpath "${1:-build/cantiere}")
seconds=${2:-30}
source "$(dirname "$0")/../tests/frontend/desktop_lib.sh" measure_gamepad_cpu Xvfb xdotool
own_folders
mkdir -p "$work/pads"
mkfifo "$work/pads/commands"
start_xvfb 1024x768x24
unset WAYLAND_DISPLAY
export QT_QPA_PLATFORM=xcb CANTIERE_TEST_GAMEPAD=$work/pads

cpu() { awk '{print $14 + $15}' /proc/"$app_pid"/stat; }
wakes() { cat /proc/"$app_pid"/task/*/status | awk '/^voluntary_ctxt_switches/ { n += $2 } END { print n }'; }
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
app_pid=$!
wait_for_launcher "$app_pid"
choose_no_sound "$lx" "$ly"
sleep 0.3
click_play "$lx" "$ly"
sleep 0.8
click_lid 280 369 464 300   # the window opens to (280, 98)
sleep 0.5
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
