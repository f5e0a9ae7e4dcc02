#!/usr/bin/env bash
# The real program on its own X server, used with real X events: choose
# "(no sound)", PLAY, open the lid, compare the window with the driver's
# snapshot of the same state, start Game A and watch it move, leave with Esc.
#
#   e2e.sh CANTIERE CANTIERE_SIM
set -uo pipefail

cantiere=$(realpath "$1")
sim=$(realpath "$2")
for tool in Xvfb xdotool import compare; do
  command -v "$tool" >/dev/null || { echo "e2e: $tool is missing" >&2; exit 1; }
done

work=$(mktemp -d)
xvfb_pid=""
app_pid=""
cleanup() {
  [[ -n $app_pid ]] && kill "$app_pid" 2>/dev/null
  [[ -n $xvfb_pid ]] && kill "$xvfb_pid" 2>/dev/null
  wait 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 1' INT TERM

failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}
die() {
  echo "FAIL: $*" >&2
  [[ -s $work/app.log ]] && sed 's/^/  cantiere: /' "$work/app.log" >&2
  exit 1
}
ms() { echo $(($(date +%s%N) / 1000000)); }

# Runs "$@" until it succeeds or the seconds run out.
wait_for() {
  local seconds=$1
  shift
  local end=$(($(ms) + seconds * 1000))
  until "$@"; do
    (($(ms) < end)) || return 1
    sleep 0.05
  done
}

# An X server of our own, on whatever display is free; held keys repeat as
# on a desktop (250 ms delay, then every 33 ms).
Xvfb -displayfd 3 -screen 0 1024x768x24 -ardelay 250 -arinterval 33 -nolisten tcp \
  3>"$work/display" >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
wait_for 10 test -s "$work/display" || die "Xvfb did not start"
export DISPLAY=":$(head -n1 "$work/display")"
unset WAYLAND_DISPLAY
export QT_QPA_PLATFORM=xcb
export XDG_CONFIG_HOME="$work/config" HOME="$work/home" XDG_RUNTIME_DIR="$work/run"
mkdir -p "$XDG_CONFIG_HOME" "$HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"

window_named() {  # the visible window of the program with this exact title
  xdotool search --all --onlyvisible --pid "$app_pid" --name "^$1\$" 2>/dev/null | head -n1
}
geometry() {  # X Y WIDTH HEIGHT of a window
  local WINDOW X Y WIDTH HEIGHT SCREEN
  eval "$(xdotool getwindowgeometry --shell "$1")"
  echo "$X $Y $WIDTH $HEIGHT"
}
geometry_is() { [[ $(geometry "$1") == "$2" ]]; }
focus_is() { [[ $(xdotool getwindowfocus 2>/dev/null) == "$1" ]]; }
pixels_differing() {
  compare -metric AE "$1" "$2" null: 2>&1 | awk '{printf "%d\n", $1}'
}

# Started from another folder: it must find its SOUND folder and documents.
started=$(ms)
(cd / && exec "$cantiere") >"$work/app.log" 2>&1 &
app_pid=$!

launcher=""
find_launcher() { launcher=$(window_named 'About Cantiere\.\.\.'); [[ -n $launcher ]]; }
wait_for 15 find_launcher || die "no launcher on screen"
echo "launcher on screen after $(($(ms) - started)) ms"
wait_for 5 focus_is "$launcher" || fail "the launcher did not get the keyboard"
read -r lx ly lw lh <<<"$(geometry "$launcher")"
[[ "$lx $ly $lw $lh" == "389 227 246 313" ]] || fail "launcher at $lx,$ly ${lw}x$lh, not centred"

# The sound list: open it, then take the third entry of its popup.
before=$(xdotool search --onlyvisible --pid "$app_pid" | sort)
xdotool mousemove $((lx + 128 + 48)) $((ly + 242 + 10)) click 1
popup=""
find_popup() {
  popup=$(comm -13 <(echo "$before") <(xdotool search --onlyvisible --pid "$app_pid" | sort) | head -n1)
  [[ -n $popup ]]
}
wait_for 5 find_popup || die "the sound list did not open"
read -r px py pw ph <<<"$(geometry "$popup")"
xdotool mousemove $((px + pw / 2)) $((py + ph * 5 / 6)) click 1
sleep 0.3
xdotool mousemove $((lx + 91 + 32)) $((ly + 280 + 12)) click 1   # PLAY

handheld=""
find_handheld() { handheld=$(window_named 'Cantiere \(Ludoria\) Simulator'); [[ -n $handheld ]]; }
wait_for 5 find_handheld || die "no handheld window"
wait_for 5 geometry_is "$handheld" "280 369 464 300" ||
  die "PLAY placed the handheld at $(geometry "$handheld")"
[[ -z $(window_named 'About Cantiere\.\.\.') ]] || fail "the launcher is still shown"
wait_for 5 focus_is "$handheld" || fail "the handheld did not get the keyboard after PLAY"

# The lid: the case opens upwards, its lower half staying where it was.
xdotool mousemove $((280 + 232)) $((369 + 150)) click 1
wait_for 5 geometry_is "$handheld" "280 98 464 571" ||
  die "after the click on the lid the window is at $(geometry "$handheld")"
xdotool mousemove 5 5
sleep 0.4
import -window "$handheld" "$work/open.png" || die "no screenshot"
printf 'play 2\nclick Im_Front\nsnapshot %s\n' "$work/sim.png" | "$sim" >/dev/null ||
  die "cantiere-sim could not draw its snapshot"
diff_open=$(pixels_differing "$work/open.png" "$work/sim.png")
echo "open case: $diff_open pixels differ from cantiere-sim's snapshot"
((diff_open <= 8)) || fail "the open case differs from the snapshot in $diff_open pixels"

# Game A: the barrels roll.
xdotool mousemove $((280 + 387 + 10)) $((98 + 328 + 6)) click 1 mousemove 5 5
sleep 1.3
import -window "$handheld" "$work/play1.png"
sleep 1.3
import -window "$handheld" "$work/play2.png"
diff_start=$(pixels_differing "$work/open.png" "$work/play1.png")
diff_play=$(pixels_differing "$work/play1.png" "$work/play2.png")
echo "Game A: $diff_start pixels changed from the open case, then $diff_play in 1.3 s of play"
((diff_start > 1000)) || fail "Game A did not clear the screens for a game"
((diff_play > 50)) || fail "nothing moved during the game"

# Esc, the menu's Exit: the program ends and the choice is kept.
xdotool key Escape
ended() { ! kill -0 "$app_pid" 2>/dev/null || [[ $(ps -o stat= -p "$app_pid") == Z* ]]; }
wait_for 5 ended || die "Esc did not end the program"
wait "$app_pid"
status=$?
app_pid=""
((status == 0)) || fail "the program ended with status $status"
settings="$XDG_CONFIG_HOME/Lanterna/Cantiere.ini"
grep -qx 'SoundMode=2' "$settings" 2>/dev/null || fail "SoundMode=2 is not in $settings"

if ((failures)); then
  sed 's/^/  cantiere: /' "$work/app.log" >&2
  echo "0 passed, 1 failed"
  exit 1
fi
echo "1 passed, 0 failed"
