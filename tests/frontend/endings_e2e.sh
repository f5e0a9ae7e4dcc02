#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The ordinary ends of a desktop program besides Exit: Ctrl+C (SIGINT), a
# kill (SIGTERM), a logout (SIGHUP) and the X server going away. The real
# program, PLAYed and opened, is ended each way; its --record session must
# be written all the same and verify with cantiere-sim. A signal ends it as
# that signal (so a shell running it sees Ctrl+C as Ctrl+C); the X server's
# end with status 1 and Qt's word for it.
#
#   endings_e2e.sh CANTIERE CANTIERE_SIM
set -uo pipefail
cantiere=$(realpath "$1")
sim=$(realpath "$2")
source "$(dirname "$0")/desktop_lib.sh" "endings e2e" Xvfb xdotool

unset WAYLAND_DISPLAY
export QT_QPA_PLATFORM=xcb
own_folders
ini=$XDG_CONFIG_HOME/Lanterna/Cantiere.ini

# Starts the program on the current X server, PLAYs and opens it.
start_and_open() {
  rm -f "$work/session.sim"
  printf '[General]\nSoundMode=2\n' >"$ini"
  # With job control, as from a terminal: a background job without it
  # starts with SIGINT ignored.
  set -m
  "$cantiere" --record "$work/session.sim" >"$work/app.log" 2>&1 &
  app_pid=$!
  set +m
  play_and_open
}

# Waits for the end; sets status.
status=""
wait_for_end() {
  # Quiet: bash would report a job that died of a signal.
  { wait_for 10 app_ended && wait "$app_pid"; } 2>/dev/null
  status=$?
  [[ -n $app_pid ]] && app_ended || die "$1 did not end the program"
  app_pid=""
}

session_is_written() {  # HOW
  [[ -s $work/session.sim ]] || { fail "$1: no session written"; return; }
  grep -qx "play 2" "$work/session.sim" || fail "$1: PLAY is not in the session"
  "$sim" --verify "$work/session.sim" >/dev/null || fail "$1: the session does not verify"
  [[ $(cat "$ini") == $'[General]\nSoundMode=2' ]] || fail "$1: the settings became $(cat "$ini")"
}

start_xvfb 1024x768x24
lines() { grep -c . "$work/session.sim" 2>/dev/null; }
for signal in INT TERM HUP; do
  start_and_open
  kill -s "$signal" "$app_pid"
  wait_for_end "SIG$signal"
  ((status == 128 + $(kill -l "$signal"))) || fail "SIG$signal: status $status: $(cat "$work/app.log")"
  session_is_written "SIG$signal"
  echo "SIG$signal: status $status, a session of $(lines) lines"
done

# Started without job control, as a background job is, SIGINT comes
# ignored and stays so.
rm -f "$work/session.sim"
"$cantiere" --record "$work/session.sim" >"$work/app.log" 2>&1 &
app_pid=$!
play_and_open
ignored=$(awk '$1 == "SigIgn:" { print $2 }' "/proc/$app_pid/status")
(((0x$ignored >> 1) & 1)) || fail "SIGINT, ignored at start, is caught (ignored signals: $ignored)"
kill -s TERM "$app_pid"
wait_for_end "SIGTERM"
((status == 143)) || fail "SIGTERM after an ignored SIGINT: status $status"

# While a dialog runs an event loop of its own: "Save last game..." in a
# game.
start_and_open
xdotool mousemove $((280 + 387 + 10)) $((98 + 328 + 6)) click 1 mousemove 5 5   # Game A
sleep 0.5
windows_of() { xdotool search --onlyvisible --pid "$app_pid" 2>/dev/null | sort; }
xdotool mousemove $((280 + 120)) $((98 + 100)) click 3
sleep 0.5
before=$(windows_of)
xdotool key Up Up Return
dialog_shown() { [[ $(comm -13 <(echo "$before") <(windows_of) | wc -l) -ge 1 ]]; }
wait_for 5 dialog_shown || die "Save last game... opened no dialog"
kill -s TERM "$app_pid"
wait_for_end "SIGTERM with a dialog open"
((status == 143)) || fail "SIGTERM with a dialog open: status $status"
session_is_written "SIGTERM with a dialog open"
grep -q "^press 397 334$" "$work/session.sim" || fail "Game A is not in the session"
echo "SIGTERM with a dialog open: status $status, a session of $(lines) lines"

# The X server goes away under the program.
start_xvfb 1024x768x24
start_and_open
kill "${pids[-1]}"
wait_for_end "the X server's end"
((status == 1)) || fail "the X server's end: status $status"
grep -q "The X11 connection broke" "$work/app.log" || fail "the X server's end said: $(cat "$work/app.log")"
session_is_written "the X server's end"
echo "the X server's end: status $status, a session of $(lines) lines"

finish
