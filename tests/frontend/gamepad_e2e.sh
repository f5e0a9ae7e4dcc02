#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The real program on its own X server, played from a virtual game
# controller (the test pads of CANTIERE_TEST_GAMEPAD): Start on the closed
# case does nothing; once the lid is open Start starts Game A, A brings the
# player in, a held D-pad walks him along the bottom girder one step per
# 330 ms, B jumps a barrel for a point, and unplugging the pad lets go of
# the jump key it held.
# The model's trace from the program is what is checked.
#
#   gamepad_e2e.sh CANTIERE CANTIERE_SIM
set -uo pipefail

cantiere=$(realpath "$1")
sim=$(realpath "$2")
source "$(dirname "$0")/desktop_lib.sh" "gamepad e2e" Xvfb xdotool

on_die() {
  [[ -s $work/pads/trace ]] && grep -v ' digit ' "$work/pads/trace" | sed 's/^/  trace: /' >&2
}

start_xvfb 1024x768x24
unset WAYLAND_DISPLAY
export QT_QPA_PLATFORM=xcb
own_folders
mkdir -p "$work/pads"
mkfifo "$work/pads/commands"
export CANTIERE_TEST_GAMEPAD="$work/pads"

"$cantiere" --record "$work/session.sim" >"$work/app.log" 2>&1 &
app_pid=$!
trace="$work/pads/trace"
# Each command is written whole at once; the program holds the FIFO open.
pad() { printf '%s\n' "$*" >"$work/pads/commands"; }

wait_for_launcher "$app_pid"
# The trace from line $mark on: what happened since the last mark.
mark=1
since() { tail -n "+$mark" "$trace"; }
# grep -q leaves at its first match: fed by a process substitution, not a
# pipe, so that pipefail cannot take the writer's SIGPIPE for no match.
has() { grep -qx -- "$1" <(since | cut -d' ' -f2-); }

# A controller before the case is open: Start reaches no button.
pad attach
pad press 1 start
pad release 1 start
wait_for 5 has "pad release 1 start" || die "the program does not read the test pads"
grep -q -- '[-+]Puls_GameA$' "$trace" && fail "Start pressed Game A on the closed case"

# "(no sound)" from the list, PLAY, then the lid, as in the other end-to-end test.
choose_no_sound "$lx" "$ly"
sleep 0.3
click_play "$lx" "$ly"
handheld=""
find_handheld() { handheld=$(window_named 'Cantiere \(Ludoria\) Simulator'); [[ -n $handheld ]]; }
wait_for 5 find_handheld || die "no handheld window"
click_lid 280 369 464 300
xdotool mousemove 5 5
wait_for 5 has "+Im_Base" || die "the lid did not open"
mark=$(($(wc -l <"$trace") + 1))

# Game A, then A brings the player in at the bottom left.
pad press 1 start
wait_for 2 has "-Puls_GameA" || fail "Start did not press Game A"
pad release 1 start
wait_for 2 has "+Puls_GameA" || die "Start did not let go of Game A"
mark=$(($(wc -l <"$trace") + 1))  # from here on, only play
sleep 0.1
pad press 1 a
pad release 1 a
wait_for 2 has "+Im_Omino27" || die "A did not bring the player in"
# Held right: a step at once, then one each time the game's 330 ms guard
# ends; let go at column 5, before a fourth step.
pad press 1 dpright
wait_for 3 has "+Im_Omino57" || fail "a held D-pad did not walk to column 5"
pad release 1 dpright
# B jumps the barrel that rolls under column 5 two seconds into the game;
# the landing scores it.
sleep 0.3
pad press 1 b
pad release 1 b
wait_for 2 has "+Im_Omino57J" || fail "B did not jump"
wait_for 3 has "-Im_Omino57J" || fail "the jump did not land"
wait_for 1 has "digit 4 1" || fail "the jump over the barrel scored nothing"
# Held A, then the pad is pulled out: the key goes up (the jump button's
# picture comes back).
pad press 1 a
jump_key_down() { [[ $(since | grep -- 'Puls_Jump$' | tail -n1 | cut -d' ' -f2) == -Puls_Jump ]]; }
wait_for 2 jump_key_down || fail "A did not press Ctrl"
pad detach 1
sleep 0.3
# Esc, the menu's Exit: the session is written as a driver script.
esc_exits

time_of() { since | awk -v what="$1" '$2 == what { print $1; exit }'; }
last_time_of() { since | awk -v what="$1" '$2 == what { t = $1 } END { print t }'; }
step3=$(time_of +Im_Omino37)
step4=$(time_of +Im_Omino47)
step5=$(time_of +Im_Omino57)
jump=$(time_of +Im_Omino57J)
landing=$(time_of -Im_Omino57J)
echo "steps at ${step3:-?}, ${step4:-?}, ${step5:-?} ms; jump at ${jump:-?}, landing at ${landing:-?}"
for gap in "$step3 $step4" "$step4 $step5"; do
  read -r a b <<<"$gap"
  if [[ -z $a || -z $b ]] || ((b - a < 330 || b - a > 420)); then
    fail "the held D-pad stepped at ${a:-?} and ${b:-?} ms, not 330 ms apart"
  fi
done
# A jump lasts two game ticks: 2 x 500 ms at the start, 4 ms less a barrel tick.
[[ -n $jump && -n $landing ]] && { ((landing - jump >= 984 && landing - jump <= 1000)) ||
  fail "the jump lasted $((landing - jump)) ms, not two game ticks"; }
detached=$(since | awk '$2 == "pad" && $3 == "detach" { print $1 }')
released=$(last_time_of +Puls_Jump)
[[ -n $detached && -n $released ]] && ((released >= detached)) ||
  fail "unplugging the pad did not let go of the jump key"
grep -q "not understood" "$trace" && fail "a pad command was not understood"

# The pad's inputs were recorded as the keyboard's and the mouse's own
# commands: the driver, replaying the session, plays the same game.
grep -qx 'keydown right' "$work/session.sim" || fail "the held D-pad is not in the session"
"$sim" --verify "$work/session.sim" >/dev/null || fail "the session does not verify"
play_lines() { grep -E ' ([-+](Im_Omino|Puls_)|digit )' | awk -v from="$1" '$1 >= from'; }
from=$(since | head -n1 | cut -d' ' -f1)
"$sim" --trace "$work/session.sim" | play_lines "$from" >"$work/replayed"
since | play_lines "$from" >"$work/played"
diff "$work/played" "$work/replayed" >"$work/trace.diff" ||
  fail "the driver's replay of the session differs: $(head -n 6 "$work/trace.diff")"
echo "the driver's replay of the session: $(wc -l <"$work/replayed") lines of play, as played"
(($(wc -l <"$work/played") >= 15)) || fail "too little of the game in the trace to compare"

# Only what this game traced, when it failed.
on_die() { since | grep -v ' digit ' | sed 's/^/  trace: /' >&2; }
finish
