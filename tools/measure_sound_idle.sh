#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# CPU use of an idle handheld with its sound on: PLAY in each sound mode
# against a PulseAudio server of its own (a null sink), the lid opened, then
# SETTLE seconds (default 12, past the 10 s after which a quiet device is
# given back) and SECONDS (default 30) of the clock measured: utime+stime
# ticks (10 ms) of the program and of the sound server. Run from the
# repository's root after a build.
#
#   tools/measure_sound_idle.sh [PROGRAM] [SECONDS]
set -uo pipefail
program=$(realpath "${1:-build/cantiere}")
seconds=${2:-30}
source "$(dirname "$0")/../tests/frontend/desktop_lib.sh" sound_idle Xvfb xdotool xwininfo pulseaudio pactl
own_folders
unset WAYLAND_DISPLAY QT_QPA_PLATFORM SDL_AUDIODRIVER
start_pulseaudio cantiere_idle
server=$pulse_pid
start_xvfb 1024x768x24

ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }
for mode in 2 0 1; do
  printf '[General]\nSoundMode=%s\n' "$mode" >"$XDG_CONFIG_HOME/Lanterna/Cantiere.ini"
  "$program" >"$work/app.log" 2>&1 &
  app=$!
  pids+=("$app")
  wait_for_launcher "$app"
  click_play "$lx" "$ly"
  sleep 0.5
  click_lid 280 369 464 300
  xdotool mousemove 5 5
  sleep "${SETTLE:-12}"
  a0=$(ticks "$app") s0=$(ticks "$server")
  sleep "$seconds"
  a1=$(ticks "$app") s1=$(ticks "$server")
  name=("Windows MM" "DirectSound" "(no sound)")
  echo "${name[$mode]}: the program $((a1 - a0)) ticks, the sound server $((s1 - s0)) ticks in $seconds s"
  xdotool key Escape
  wait "$app"
done
finish
