#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Nothing stored is lost on a full disk: the real program on its own X
# server, writing to a small filesystem mounted for the test (in a mount
# namespace of its own, so run as root; skipped otherwise) that another
# program has filled.
#  - --record onto it: the earlier file of that name stays as it was, the
#    program says "Cannot write ...: No space left on device" and ends with 1;
#  - "Save last game..." into it: the earlier file stays, a message says so;
#  - a new high score with the settings folder on it: said on the error
#    output and, once the game is over, in a box that leaves the keyboard to
#    the handheld (under openbox, which would hand it to a new window);
#    written at exit once there is room again.
#
#   full_disk_e2e.sh CANTIERE
set -uo pipefail
cantiere=$(realpath "$1")
here=$(cd "$(dirname "$0")" && pwd)
[[ -n ${CANTIERE_PRIVATE_MOUNTS:-} ]] || exec bash "$here/private_mounts.sh" bash "$0" "$@"
source "$here/desktop_lib.sh" "full disk e2e" Xvfb xdotool xprop openbox mount umount
trap 'umount -l "$full" 2>/dev/null; cleanup' EXIT

full=$work/full
mkdir -p "$full"
mount -t tmpfs -o size=256k tmpfs "$full" || die "cannot mount a small filesystem"
fill() { cat /dev/zero >"$full/filler" 2>/dev/null; [[ -s $full/filler ]]; }
make_space() { rm -f "$full/filler"; }

start_xvfb 1024x768x24
unset WAYLAND_DISPLAY
export QT_QPA_PLATFORM=xcb
own_folders
printf '[General]\nSoundMode=2\n' >"$XDG_CONFIG_HOME/Lanterna/Cantiere.ini"
windows_of() { xdotool search --onlyvisible --pid "$app_pid" 2>/dev/null | sort; }
new_window() { [[ -n $(comm -13 <(echo "$before") <(windows_of)) ]]; }
message=""
find_message() {  # the program's own message, over the handheld
  message=$(windows_of | grep -vx "$handheld" | head -n1)
  [[ -n $message && $(xdotool getwindowname "$message") == "Cantiere (Ludoria) Simulator" ]]
}
not() { ! "$@"; }
head -c 2954 /dev/urandom >"$work/earlier"
same_as_earlier() { cmp -s "$1" "$work/earlier"; }
start() {  # [OPTION]...: started, PLAYed and opened
  "$cantiere" "$@" >"$work/app.log" 2>&1 &
  app_pid=$!
  play_and_open
}
game_a() { xdotool mousemove $((280 + 387 + 10)) $((98 + 328 + 6)) click 1 mousemove 5 5; }
esc_ends() {  # sets status
  xdotool key Escape
  wait_for 10 app_ended || die "Esc did not end the program"
  wait "$app_pid"
  status=$?
  app_pid=""
}

# --record: PLAY, the lid, Game A, Esc.
cp "$work/earlier" "$full/session.sim"
fill || die "could not fill the disk"
start --record "$full/session.sim"
game_a
esc_ends
((status == 1)) || fail "--record onto a full disk ended with $status, not 1"
grep -qx "cantiere: Cannot write $full/session.sim: No space left on device" "$work/app.log" ||
  fail "--record onto a full disk said: $(cat "$work/app.log")"
same_as_earlier "$full/session.sim" || fail "--record destroyed the earlier file"
[[ $(ls -A "$full" | sort | tr '\n' ' ') == "filler session.sim " ]] || fail "left $(ls -A "$full")"
echo "--record onto a full disk: status $status, $(cat "$work/app.log")"

# "Save last game..." into the full folder, over an earlier game.
make_space
cp "$work/earlier" "$full/game.sim"
fill
start
game_a
sleep 1
before=$(windows_of)
xdotool mousemove $((280 + 120)) $((98 + 100)) click 3
wait_for 5 new_window || die "a right click opened no menu"
before=$(windows_of)
xdotool key Up Up Return
wait_for 5 new_window || die "Save last game... opened no dialog"
dialog=$(comm -13 <(echo "$before") <(windows_of) | head -n1)
# Typed once the dialog has the keyboard, over the name it suggests.
wait_for 5 focus_is "$dialog" || die "the dialog did not get the keyboard"
xdotool key ctrl+a
xdotool type --delay 5 "$full/game.sim"
before=$(windows_of)
xdotool key Return
# The dialog asks first whether to replace the file there: yes.
wait_for 3 new_window && xdotool key alt+y
wait_for 5 find_message || fail "no message that the game could not be saved"
same_as_earlier "$full/game.sim" || fail "saving into a full folder destroyed the earlier file"
xdotool key Return
wait_for 5 not find_message || fail "the message did not go"
esc_ends
echo "Save last game... into a full folder: $( ((failures)) && echo failed || echo "a message, the earlier file kept")"
make_space

# A new high score, with the settings folder on the full disk. The model's
# trace (the test pads' trace) shows the score.
ini=$full/config/Lanterna/Cantiere.ini
mkdir -p "$full/config/Lanterna" "$work/pads"
printf '[General]\nSoundMode=2\nHiScoreA=0\n' >"$ini"
mkfifo "$work/pads/commands"
fill
XDG_CONFIG_HOME=$full/config CANTIERE_TEST_GAMEPAD=$work/pads start
trace=$work/pads/trace
# Then a window manager, which gives a new window the keyboard unless told
# not to; the handheld's first.
openbox --sm-disable >"$work/wm.log" 2>&1 &
pids+=($!)
wm_running() { xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; }
wait_for 10 wm_running || die "openbox did not start"
mark=$(($(wc -l <"$trace") + 1))
# Not a pipe into grep -q: under pipefail tail's SIGPIPE would read as no match.
since_mark() { grep -qE "$1" <(tail -n "+$mark" "$trace"); }
last_seen() { tail -n 5 "$trace" | tr '\n' ' '; }
# A click that falls while openbox takes the window in is lost: again
# until the button is seen pressed.
game_a_taken() { game_a; wait_for 2 since_mark "^[0-9]+ -Puls_GameA$"; }
wait_for 20 game_a_taken || die "Game A was not pressed; the trace ends $(last_seen)"
# A window manager that starts after the window may leave the keyboard
# nowhere; a click on Game A that came before it took the window in did not
# give it back: as from a task bar, the handheld is made the active window.
keyboard() { focus_is "$handheld"; }
wait_for 3 keyboard || xdotool windowactivate "$handheld"
wait_for 5 keyboard || die "the handheld does not have the keyboard"
# The player comes in at once. Barrels roll left along row 7 one cell per
# barrel tick, a barrel in the segment right of the player (Im_Bar27) hits
# at the next barrel tick unless the player is in the air, and a jump lasts
# two game ticks, one barrel tick: Ctrl as a barrel comes into Im_Bar27 has
# it pass under the jump, which lands with it in Im_Bar17 and scores. After
# a miss the player is off the field until it comes in again (a life icon
# goes), and a Ctrl then would bring it in under the barrel.
mark=$(($(wc -l <"$trace") + 1))
exec {lines}< <(tail -n "+$mark" -f "$trace")
pids+=($!)
xdotool key ctrl
points="" in=0 now="" gone="" jumped=""
deadline=$((SECONDS + 60))
while [[ -z $points ]] && ((SECONDS < deadline)); do
  read -r -t 1 -u "$lines" at change || continue
  if [[ $at != "$now" ]]; then
    # The player went dark with no jump pose in the same instant: a miss.
    [[ -n $gone && -z $jumped ]] && in=0
    now=$at gone="" jumped=""
  fi
  case $change in
    -Im_Omino27) gone=1 ;;
    +Im_Omino27J) jumped=1 ;;
    -Im_Vite?) in=1 ;;
    +Im_Bar27) ((in)) && xdotool key ctrl ;;
    "digit 4 "[1-9]) points=$change ;;
  esac
done
[[ -n $points ]] || die "no point scored in 60 s; the trace ends $(last_seen)"
wait_for 150 find_message || die "no message about the high score that could not be stored"
said="^cantiere: cannot store the high score HiScoreA=[1-9][0-9]* in $ini: No space left on device;"
(($(grep -cE "$said" "$work/app.log") == 1)) || fail "the error output said: $(cat "$work/app.log")"
[[ $(xdotool getwindowfocus) == "$handheld" ]] || fail "the message took the keyboard from the handheld"
score=$(sed -n 's/.*HiScoreA=\([0-9]*\) in .*/\1/p' "$work/app.log")
grep -qx "HiScoreA=0" "$ini" || fail "the full disk's settings changed"
# Room again before the end: Esc writes it.
make_space
esc_ends
grep -qx "HiScoreA=$score" "$ini" || fail "the high score $score was not written at exit: $(cat "$ini")"
echo "a high score of $score on a full disk: told, then written at exit"

finish
