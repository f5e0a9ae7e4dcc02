#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Signals the desktop program at the settings lock (SIGKILL, SIGINT, SIGTERM,
# at the lock taken as the store opens and at PLAY's write), on an X server
# of its own. After each the settings file must be whole, and the next start
# must close its launcher on PLAY and leave nothing behind.
#
#   tools/kill_desktop_test.sh CANTIERE [RUNS]
#
# ctest runs 6 (every signal at both locks); the default is 50.
set -uo pipefail
cantiere=$(realpath "$1")
runs=${2:-50}
source "$(dirname "$0")/../tests/frontend/desktop_lib.sh" kill_desktop_test Xvfb xdotool strace
app_signal=KILL
strace -qq -o /dev/null true 2>/dev/null || { echo "kill_desktop_test: strace cannot trace here" >&2; exit 77; }

start_xvfb 1024x768x24
export QT_QPA_PLATFORM=xcb
unset WAYLAND_DISPLAY
own_folders
ini=$XDG_CONFIG_HOME/Lanterna/Cantiere.ini
stored=$'[General]\nSoundMode=2\nHiScoreA=7'  # "(no sound)" chosen, PLAY enabled at once

# One program at a time runs here, traced or not: its launcher by name.
launcher() { xdotool search --all --onlyvisible --name '^About Cantiere\.\.\.$' 2>/dev/null | head -n1; }
has_launcher() { [[ -n $(launcher) ]]; }
no_launcher() { [[ -z $(launcher) ]]; }
play() {
  local lx ly
  read -r lx ly _ <<<"$(geometry "$(launcher)")"
  click_play "$lx" "$ly"
}

# Should the X server turn a connection away, the program ends at once
# saying it cannot open a window; such a start is made again.
turned_away() { grep -q "cannot open a window" "$1"; }

# The program, signalled at the given take of the lock; true once it ended
# there (after PLAY for the second take).
signalled_at_lock() {
  local signal=$1 take=$2
  # Started with job control, since a background job without it ignores
  # SIGINT; then without, so that its end is not reported.
  set -m
  bash -c 'exec strace -f -qq -o /dev/null -e trace=flock -e "inject=flock:signal=$1:when=$2" "$3"' \
    - "$signal" "$take" "$cantiere" >"$work/traced.log" 2>&1 &
  app_pid=$!
  set +m
  local ended_there=0
  if ((take == 2)); then
    # PLAY is clicked again until the program ends at its write: a busy
    # machine may map the launcher before it takes a click.
    local until=$(($(ms) + 15000))
    while ((ended_there == 0 && $(ms) < until)); do
      has_launcher && play
      wait_for 2 app_ended 2>/dev/null && ended_there=1
    done
  else
    wait_for 15 app_ended 2>/dev/null && ended_there=1
  fi
  kill -9 "$app_pid" 2>/dev/null
  wait "$app_pid" 2>/dev/null
  local status=$?
  app_pid=""
  turned_away "$work/traced.log" && return 1
  # strace ends as its program did: by the same signal.
  ((ended_there && status == 128 + $(kill -l "$signal"))) ||
    fail "SIG$signal at lock $take did not end it (status $status)"
  return 0
}

for ((run = 0; run < runs; run++)); do
  signals=(KILL INT TERM)
  signal=${signals[run % 3]}
  take=$((run / 3 % 2 + 1))  # 1: the store opens; 2: PLAY writes
  for attempt in 1 2 3; do
    printf '%s\n' "$stored" >"$ini"
    signalled_at_lock "$signal" "$take" && break
  done
  turned_away "$work/traced.log" && { fail "run $run: the X server turned three starts away"; continue; }
  [[ $(cat "$ini") == "$stored" ]] || fail "run $run: SIG$signal at lock $take left $(printf %q "$(cat "$ini")")"

  # The next start: PLAY closes the launcher at once.
  for attempt in 1 2 3; do
    "$cantiere" >"$work/app.log" 2>&1 &
    app_pid=$!
    wait_for 15 has_launcher && break
    wait "$app_pid" 2>/dev/null
    turned_away "$work/app.log" || break
  done
  has_launcher || { fail "run $run: the next start shows no launcher: $(cat "$work/app.log")"; continue; }
  # A lock left behind would hold PLAY's write for good; none may, and
  # PLAY closes the launcher. Clicked again should a busy machine have
  # mapped the launcher before it takes a click.
  start=$(ms)
  for attempt in 1 2 3 4 5; do
    play
    wait_for 2 no_launcher && break
  done
  took=$(($(ms) - start))
  no_launcher || fail "run $run: after SIG$signal at lock $take PLAY did not close the launcher"
  xdotool key Escape
  wait_for 5 app_ended || fail "run $run: Esc did not end the next start"
  kill -9 "$app_pid" 2>/dev/null
  wait "$app_pid" 2>/dev/null
  app_pid=""
  litter=$(ls -A "$XDG_CONFIG_HOME/Lanterna" | grep -v -x Cantiere.ini)
  [[ -z $litter ]] || fail "run $run: left $litter"
  echo "run $run: SIG$signal at lock $take; the next PLAY closed the launcher in $took ms"
done

if ((failures)); then
  echo "$failures failed"
  exit 1
fi
echo "all passed"
