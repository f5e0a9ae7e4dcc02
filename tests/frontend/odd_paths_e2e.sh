#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Folder names that are not UTF-8 (the bytes ff fe): the settings folder
# named by XDG_CONFIG_HOME or found from HOME, and the --record file, are
# those very folders, never a look-alike with the bytes replaced: the stored
# values are read (the session carries the stored high scores), the session
# is written where it was asked for, and nothing else is made.
#
#   odd_paths_e2e.sh CANTIERE CANTIERE_SIM
set -uo pipefail
cantiere=$(realpath "$1")
sim=$(realpath "$2")
source "$(dirname "$0")/desktop_lib.sh" "odd paths e2e" Xvfb xdotool

start_xvfb 1024x768x24
unset WAYLAND_DISPLAY
export QT_QPA_PLATFORM=xcb
own_folders
odd=$work/$'\xff\xfe'

# HOW, then the settings folder: PLAY, the lid, Esc, with --record in the
# odd folder.
run_with_settings_in() {
  local how=$1 folder=$2
  mkdir -p "$folder/Lanterna"
  printf '[General]\nSoundMode=2\nHiScoreA=7\nHiScoreB=3\n' >"$folder/Lanterna/Cantiere.ini"
  rm -f "$odd/session.sim"
  "$cantiere" --record "$odd/session.sim" >"$work/app.log" 2>&1 &
  app_pid=$!
  play_and_open
  xdotool key Escape
  wait_for 10 app_ended || die "$how: Esc did not end the program"
  wait "$app_pid"
  local status=$?
  app_pid=""
  ((status == 0)) || fail "$how: status $status: $(cat "$work/app.log")"
  [[ -s $odd/session.sim ]] || fail "$how: no session in the folder asked for"
  grep -qx "# hiscores 7 3" "$odd/session.sim" || fail "$how: the stored high scores were not read"
  "$sim" --verify "$odd/session.sim" >/dev/null || fail "$how: the session does not verify"
  [[ $(cat "$folder/Lanterna/Cantiere.ini") == $'[General]\nSoundMode=2\nHiScoreA=7\nHiScoreB=3' ]] ||
    fail "$how: the settings became $(cat "$folder/Lanterna/Cantiere.ini")"
  local made
  made=$(find "$work" -name $'*\xef\xbf\xbd*')
  [[ -z $made ]] || fail "$how: made $made"
  echo "$how: the stored values read, the session written where asked"
}

export XDG_CONFIG_HOME=$odd/config
run_with_settings_in "XDG_CONFIG_HOME" "$XDG_CONFIG_HOME"
unset XDG_CONFIG_HOME
export HOME=$odd/home
run_with_settings_in "HOME" "$HOME/.config"

finish
