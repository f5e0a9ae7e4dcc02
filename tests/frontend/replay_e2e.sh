#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# A real game saved and replayed: the real program on its own X server, with
# real X events. Play Game A (a drag, walks, jumps, a miss), save it from the
# context menu, check the file with cantiere-sim --verify, replay it in the
# window from the menu at 4x and compare its last picture with the driver's
# snapshot of the file's end; Esc gives the handheld back. Then --record's
# session file must verify too, and --replay of a damaged file must say so
# and leave the program running.
#
#   replay_e2e.sh CANTIERE CANTIERE_SIM
set -uo pipefail

cantiere=$(realpath "$1")
sim=$(realpath "$2")
source "$(dirname "$0")/desktop_lib.sh" "replay e2e" Xvfb xdotool import compare

start_xvfb 1024x768x24 -ardelay 250 -arinterval 33
unset WAYLAND_DISPLAY
export QT_QPA_PLATFORM=xcb
own_folders
# "(no sound)" chosen before, and a Game A record the saved game must carry.
printf '[General]\nSoundMode=2\nHiScoreA=7\n' >"$XDG_CONFIG_HOME/Lanterna/Cantiere.ini"

title_is() { [[ $(xdotool getwindowname "$1" 2>/dev/null) == "$2" ]]; }
title_has() { [[ $(xdotool getwindowname "$1" 2>/dev/null) == *"$2"* ]]; }
windows_of() { xdotool search --onlyvisible --pid "$app_pid" 2>/dev/null | sort; }
new_window=""
find_new_window() {  # a window that was not in $before
  new_window=$(comm -13 <(echo "$before") <(windows_of) | head -n1)
  [[ -n $new_window ]]
}
pixels_differing() { compare -metric AE "$1" "$2" null: 2>&1 | awk '{printf "%d\n", $1}'; }
key() { xdotool key "$@"; }

(cd / && exec "$cantiere" --record "$work/session.sim") >"$work/app.log" 2>&1 &
app_pid=$!
wait_for_launcher "$app_pid"
wait_for 5 focus_is "$launcher" || fail "the launcher did not get the keyboard"
click_play "$lx" "$ly"
handheld=""
find_handheld() { handheld=$(window_named 'Cantiere \(Ludoria\) Simulator'); [[ -n $handheld ]]; }
wait_for 5 find_handheld || die "no handheld window"
wait_for 5 geometry_is "$handheld" "280 369 464 300" || die "PLAY did not place the handheld"
wait_for 5 focus_is "$handheld" || fail "the handheld did not get the keyboard"
click_lid 280 369 464 300
wait_for 5 geometry_is "$handheld" "280 98 464 571" || die "the lid did not open"
# The case dragged 40 right and 20 down near its corner (the corner itself
# is the desktop's: the window is shaped like the case): the saved game must
# put it there again.
xdotool mousemove $((280 + 30)) $((98 + 30)) mousedown 1 mousemove $((280 + 50)) $((98 + 40)) \
  mousemove $((280 + 70)) $((98 + 50)) mouseup 1
left=320 top=118
wait_for 5 geometry_is "$handheld" "$left $top 464 571" || die "the drag left the case at $(geometry "$handheld")"

# Game A: in early with Ctrl and a jump, three steps right, a jump at the
# fifth column; then standing still until a barrel takes a life.
xdotool mousemove $((left + 387 + 10)) $((top + 328 + 6)) click 1 mousemove 5 5
sleep 0.3
key ctrl
sleep 0.3
key ctrl
sleep 1.2
for step in 1 2 3; do key Right; sleep 0.4; done
key ctrl
sleep 9

# Save last game..., the entry before the last of the context menu.
xdotool mousemove $((left + 120)) $((top + 100)) click 3
sleep 0.5
before=$(windows_of)
xdotool key Up Up Return
wait_for 5 find_new_window || die "Save last game... opened no dialog"
sleep 0.5
xdotool type --delay 5 "$work/game.sim"
xdotool key Return
wait_for 5 test -s "$work/game.sim" || die "no file saved"
sleep 0.3

"$sim" --verify "$work/game.sim" || fail "cantiere-sim --verify does not pass the saved game"
grep -qx 'keydown right' "$work/game.sim" || fail "the walks are not in the saved game"
grep -q '^# hiscores 7 0$' "$work/game.sim" || fail "the saved game lacks the high scores"
grep -q '^move ' "$work/game.sim" || fail "the saved game does not put the case where it stood"
lives=$(sed -n 's/^# state .* Lives=\([0-9]*\) .*/\1/p' "$work/game.sim")
echo "saved game: $(grep -c . "$work/game.sim") lines, $lives lives left at its end"
((lives < 3)) || fail "no miss in the saved game"

# Replay a game..., the last entry; 4x, then its last picture.
xdotool mousemove $((left + 120)) $((top + 100)) click 3
sleep 0.5
before=$(windows_of)
xdotool key Up Return
wait_for 5 find_new_window || die "Replay a game... opened no dialog"
sleep 0.5
xdotool type --delay 5 "$work/game.sim"
xdotool key Return
wait_for 5 title_has "$handheld" "Replay of game.sim" || die "the replay did not start"
key 4
wait_for 20 title_has "$handheld" "(ended)" || die "the replay did not end"
sleep 0.3
# The screen where the handheld is: round the case (the window is shaped
# like it) the X server's black root shows, as the snapshot's black does.
import -window root -crop "464x571+$left+$top" +repage "$work/replayed.png" || die "no screenshot"

# Drawn from the same lines as a plain script, as a recording writes no
# files; the high scores its header carries are given as settings.
printf '[General]\nHiScoreA=7\n' >"$work/sim.ini"
(sed 1d "$work/game.sim" && echo "snapshot $work/expected.png") | "$sim" --settings "$work/sim.ini" >/dev/null ||
  die "cantiere-sim could not draw the saved game's end"
# The case only: round it the snapshot has the photograph's near-black
# background, the screen the root's black.
convert "$work/expected.png" -fill '#ff00ff' -fuzz 14% -draw 'color 0,0 floodfill' -fuzz 0 \
  -fill black +opaque '#ff00ff' -fill white -opaque '#ff00ff' "$work/outside.png"
for picture in replayed expected; do
  convert "$work/$picture.png" -size 464x571 xc:black "$work/outside.png" -composite "$work/$picture-case.png"
done
differ=$(pixels_differing "$work/replayed-case.png" "$work/expected-case.png")
echo "replayed game: $differ pixels differ from the snapshot of its end"
((differ <= 8)) || fail "the replay's last picture differs in $differ pixels"

key Escape
wait_for 5 title_is "$handheld" "Cantiere (Ludoria) Simulator" || fail "Esc did not end the replay"

# Exit: the session file is written and replays to the state at exit.
esc_exits
"$sim" --verify "$work/session.sim" || fail "the --record session does not verify"

# A damaged file named on the command line: a message, then the launcher.
sed '5s/.*/wait soon/' "$work/game.sim" >"$work/damaged.sim"
(cd / && exec "$cantiere" --replay "$work/damaged.sim") >"$work/app.log" 2>&1 &
app_pid=$!
message=""
find_message() {  # a window that is neither the launcher nor the handheld
  message=$(windows_of | while read -r w; do
    case $(xdotool getwindowname "$w") in
      'About Cantiere...' | 'Cantiere (Ludoria) Simulator') [[ $(geometry "$w") == "-500 "* ]] || echo "$w" ;;
      *) echo "$w" ;;
    esac
  done | grep -vx "$launcher" | head -n1)
  [[ -n $message ]]
}
wait_for 15 find_launcher "$app_pid" || die "no launcher with a damaged --replay"
wait_for 5 find_message || fail "no message about the damaged file"
echo "damaged file: a window of $(geometry "$message" | cut -d' ' -f3-) says so"
xdotool key Return
sleep 0.5
app_ended && fail "a damaged file ended the program"
[[ -n $(window_named 'About Cantiere\.\.\.') ]] || fail "the launcher is gone after the message"

finish
