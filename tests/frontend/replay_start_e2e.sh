#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# `cantiere --replay FILE` on a desktop of its own, with real X events: the
# handheld appears where PLAY puts the open case, shaped like it (the
# desktop shows round it), takes the keyboard, and holds as its last
# picture the driver's snapshot of the file's end; Esc gives the launcher
# back, and PLAY then places the handheld as ever. Then files a replay must
# refuse or check without freezing the program: a FIFO, weeks of waits
# without the version line, and a long file whose check is given up.
#
#   replay_start_e2e.sh DESKTOP CANTIERE CANTIERE_SIM X11_TOOL
#
# DESKTOP: bare (an X server alone) or openbox.
set -uo pipefail

desktop=$1
cantiere=$(realpath "$2")
sim=$(realpath "$3")
x11_tool=$(realpath "$4")
case $desktop in
  bare) tools=() ;;
  openbox) tools=(openbox xprop) ;;
  *) echo "replay start e2e: unknown desktop $desktop" >&2; exit 2 ;;
esac
source "$(dirname "$0")/desktop_lib.sh" "replay start e2e" Xvfb xdotool xwininfo import convert \
  compare "${tools[@]}"
fail_tag=$desktop

colour='#2080c0'
own_folders
# "(no sound)" chosen before; the plain LCD, so the picture is exact at once.
printf '[General]\nSoundMode=2\nLcdEffects=0\n' >"$XDG_CONFIG_HOME/Lanterna/Cantiere.ini"
unset WAYLAND_DISPLAY QT_QPA_PLATFORM SESSION_MANAGER
start_xvfb 1024x768x24
"$x11_tool" desktop "${colour#\#}" || die "could not paint the desktop"
if [[ $desktop == openbox ]]; then
  openbox --sm-disable >"$work/wm.log" 2>&1 &
  pids+=($!)
  wm_running() { xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; }
  wait_for 10 wm_running || die "openbox did not start"
fi

title_has() { [[ $(xdotool getwindowname "$1" 2>/dev/null) == *"$2"* ]]; }
running() { kill -0 "$app_pid" 2>/dev/null && [[ $(ps -o stat= -p "$app_pid") != Z* ]]; }
differing() { compare -metric AE -fuzz 2% "$1" "$2" null: 2>&1 | awk '{printf "%d\n", $1}'; }
start_program() {  # ARGUMENT...
  if [[ -n $app_pid ]]; then
    kill "$app_pid" 2>/dev/null
    wait "$app_pid" 2>/dev/null
  fi
  (cd / && exec "$cantiere" "$@") >"$work/app.log" 2>&1 &
  app_pid=$!
}
others=""
find_others() {  # the program's windows on screen other than the launcher
  others=$(xdotool search --onlyvisible --pid "$app_pid" 2>/dev/null | grep -vx "${launcher:-none}")
  [[ -n $others ]]
}

# A Game B start and 2.5 s of it, saved as the program saves a game: the
# final state is the driver's dump of the same lines.
body=$'timeofday 12:34:56.789 +00:00\nplay 2\nclick Im_Front\npress Puls_GameB\nwait 100\nrelease\nwait 2500'
header=$'# cantiere-recording 1\n# hiscores 5 9'
{
  printf '%s\n%s\n# final state\n' "$header" "$body"
  printf '%s\n%s\ndump\n' "$header" "$body" | "$sim" | sed 's/^/# /'
} >"$work/game.sim"
"$sim" --verify "$work/game.sim" >/dev/null || die "the test's recording does not verify"
# Its end as the driver draws it, from the same lines as a plain script (a
# recording writes no files), the high scores given by the settings; and
# which of its pixels are the desktop's: everything dark that reaches the
# picture's edge.
printf '[General]\nHiScoreA=5\nHiScoreB=9\nLcdEffects=0\n' >"$work/sim.ini"
printf '%s\nsnapshot %s\n' "$body" "$work/sim.png" | "$sim" --settings "$work/sim.ini" >/dev/null ||
  die "cantiere-sim could not draw the recording's end"
convert "$work/sim.png" -fill '#ff00ff' -fuzz 14% -draw 'color 0,0 floodfill' -fuzz 0 \
  -fill black +opaque '#ff00ff' -fill white -opaque '#ff00ff' "$work/outside.png"
convert "$work/sim.png" -size 464x571 "xc:$colour" "$work/outside.png" -composite "$work/expected.png"

start_program --replay "$work/game.sim"
handheld=""
find_replay() {
  handheld=$(xdotool search --all --onlyvisible --pid "$app_pid" --name '^Replay of game\.sim' 2>/dev/null | head -n1)
  [[ -n $handheld ]]
}
wait_for 15 find_replay || die "no window shows the replay"
wait_for 5 geometry_is "$handheld" "280 98 464 571" ||
  fail "the replay's handheld is at $(geometry "$handheld"), not where PLAY puts the open case"
wait_for 5 focus_is "$handheld" || fail "the replay's handheld does not have the keyboard"
wait_for 15 title_has "$handheld" "(ended)" || die "the replay did not end"
[[ -z $(window_named 'About Cantiere\.\.\.') ]] || fail "the launcher is shown over the replay"
# The case pixel for pixel, and round it the desktop; the screen may still
# be settling as the window manager maps the window.
for try in 1 2 3 4 5 6; do
  ((try > 1)) && sleep 0.3
  import -window root -crop 464x571+280+98 +repage "$work/screen.png"
  convert -size 464x571 "xc:$colour" "$work/desk.png"
  convert "$work/screen.png" "$work/desk.png" "$work/outside.png" -composite "$work/case.png"
  convert "$work/desk.png" "$work/screen.png" "$work/outside.png" -composite "$work/round.png"
  in=$(differing "$work/case.png" "$work/expected.png")
  out=$(differing "$work/round.png" "$work/desk.png")
  ((in <= 40 && out <= 40)) && break
done
echo "$desktop: the replay's end: $in pixels of the case differ from the driver's snapshot, $out round it from the desktop"
((in <= 40)) || fail "the replay's last picture differs from the snapshot in $in pixels"
((out <= 40)) || fail "$out pixels round the case are not the desktop's: the window is not shaped like the case"

# Esc: the launcher, as before the replay, and the handheld out of sight.
xdotool key Escape
wait_for_launcher "$app_pid"
handheld_gone() {
  [[ -z $(xdotool search --all --onlyvisible --pid "$app_pid" --name '^(Cantiere \(Ludoria\)|Replay of)' 2>/dev/null) ]]
}
wait_for 5 handheld_gone || fail "the handheld stays on screen after the replay"
wait_for 5 focus_is "$launcher" || fail "the launcher did not get the keyboard back"
click_play "$lx" "$ly"
played=""
find_played() { played=$(window_named 'Cantiere \(Ludoria\) Simulator'); [[ -n $played ]]; }
wait_for 5 find_played || die "no handheld after PLAY"
wait_for 5 geometry_is "$played" "280 369 464 300" || fail "PLAY placed the handheld at $(geometry "$played")"

# A FIFO: a message at once, and the launcher goes on answering.
mkfifo "$work/fifo.sim"
launcher=""
start_program --replay "$work/fifo.sim"
wait_for_launcher "$app_pid"
wait_for 10 find_others || fail "no message about the FIFO"
xdotool key Return
no_others() { ! find_others; }
wait_for 5 no_others || fail "the message about the FIFO did not go"
running || fail "the FIFO ended the program"

# Weeks of waits without the version line: refused as quickly.
{ printf '%s\n' "$body"; for ((i = 0; i < 100; i++)); do echo 'wait 2000000000'; done; } >"$work/weeks.sim"
launcher=""
start_program --replay "$work/weeks.sim"
wait_for_launcher "$app_pid"
started=$(ms)
wait_for 10 find_others || fail "no message about weeks of waits"
echo "$desktop: weeks of waits refused $(($(ms) - started)) ms after the launcher showed"
[[ -z $(xdotool search --all --onlyvisible --pid "$app_pid" --name '^Replay of' 2>/dev/null) ]] ||
  fail "weeks of waits were replayed"

# 63 MB of moves: the check shows how far it is, and Esc gives it up.
{ printf '%s\n' "$header" 'play 2' 'click Im_Front'; yes 'move 1 1' | head -n 7000000; } >"$work/long.sim"
launcher=""
start_program --replay "$work/long.sim"
wait_for_launcher "$app_pid"
progress=""
find_progress() { progress=$(window_named 'Replay a game'); [[ -n $progress ]]; }
wait_for 10 find_progress || fail "no progress shown while a long file is checked"
if [[ -n $progress ]]; then
  xdotool windowfocus "$progress"
  wait_for 2 focus_is "$progress"
  xdotool key Escape
  no_progress() { [[ -z $(window_named 'Replay a game') ]]; }
  wait_for 5 no_progress || fail "Esc did not give up the check"
  sleep 0.5
  [[ -z $(xdotool search --all --onlyvisible --pid "$app_pid" --name '^Replay of' 2>/dev/null) ]] ||
    fail "the check given up was replayed"
  [[ -n $(window_named 'About Cantiere\.\.\.') ]] || fail "the launcher is gone after the check"
fi
running || fail "the long file ended the program"

finish
