#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The real program on two monitors side by side, the primary one on the
# right: an X server of one wide screen that RandR is told holds two
# monitors, as a desktop with two screens reports them. The launcher and
# the handheld are centred on the primary monitor; About opens at the top
# left of the monitor the case is on; the case dragged to the other
# monitor zooms there with + and stays there, and 0 brings it back.
#
#   e2e_monitors.sh DESKTOP CANTIERE
#
# DESKTOP: bare (an X server alone) or openbox.
set -uo pipefail

desktop=$1
cantiere=$(realpath "$2")
case $desktop in
  bare) tools=() ;;
  openbox) tools=(openbox xprop) ;;
  *) echo "e2e_monitors: unknown desktop $desktop" >&2; exit 2 ;;
esac
source "$(dirname "$0")/desktop_lib.sh" e2e_monitors Xvfb xdotool xrandr "${tools[@]}"
fail_tag=$desktop

own_folders
printf '[General]\nSoundMode=2\nLcdEffects=0\n' >"$XDG_CONFIG_HOME/Lanterna/Cantiere.ini"
unset WAYLAND_DISPLAY
export QT_QPA_PLATFORM=xcb
start_xvfb 3840x1080x24
# The left monitor takes the screen's output, so no monitor spans both.
xrandr --setmonitor left 1920/508x1080/286+0+0 screen >/dev/null &&
  xrandr --setmonitor '*right' 1920/508x1080/286+1920+0 none >/dev/null ||
  die "RandR would not declare two monitors"
if [[ $desktop == openbox ]]; then
  openbox --sm-disable >"$work/wm.log" 2>&1 &
  pids+=($!)
  wm_running() { xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; }
  wait_for 10 wm_running || die "openbox did not start"
fi

(cd / && exec "$cantiere") >"$work/app.log" 2>&1 &
app_pid=$!
wait_for_launcher "$app_pid"
read -r _ _ lw lh <<<"$(geometry "$launcher")"
# Its middle on the right monitor's middle, (2880, 540), to the pixel.
((lx * 2 + lw - 2 * 2880 >= -1 && lx * 2 + lw - 2 * 2880 <= 1 && ly * 2 + lh - 1080 >= -1 &&
  ly * 2 + lh - 1080 <= 1)) || fail "the launcher at $lx,$ly is not centred on the primary monitor"

click_play "$lx" "$ly"
handheld=""
find_handheld() { handheld=$(window_named 'Cantiere \(Ludoria\) Simulator'); [[ -n $handheld ]]; }
wait_for 5 find_handheld || die "no handheld after PLAY"
# Centred across; the open case will be centred down a screen over 600 high.
left=$((1920 + (1920 - 464) / 2)) top=$(((1080 - 300 + 271) / 2))
wait_for 5 geometry_is "$handheld" "$left $top 464 300" ||
  fail "PLAY placed the handheld at $(geometry "$handheld"), not $left $top 464 300"
click_lid "$left" "$top" 464 300
xdotool mousemove 5 5
open_top=$((top - 271))
wait_for 5 geometry_is "$handheld" "$left $open_top 464 571" || die "the lid did not open"

# F1: About at the top left of the monitor the case is on (its frame's
# corner there, where a window manager adds one); a click closes it.
about_at() {  # X Y
  local about="" ax ay
  xdotool key F1
  shown() { about=$(window_named 'About the author\.\.\.'); [[ -n $about ]]; }
  wait_for 5 shown || { fail "F1 did not show About"; return; }
  placed() {
    read -r ax ay _ <<<"$(geometry "$about")"
    ((ax >= $1 && ax <= $1 + 8 && ay >= $2 && ay <= $2 + 40))
  }
  wait_for 5 placed "$1" "$2" || fail "About is at $ax,$ay, not at $1,$2"
  xdotool mousemove $((ax + 137)) $((ay + 180)) click 1 mousemove 5 5
  gone() { [[ -z $(window_named 'About the author\.\.\.') ]]; }
  wait_for 5 gone || fail "a click did not close About"
}
about_at 1920 0

# Dragged by 2200 to the left, onto the other monitor.
x=$((left + 30)) y=$((open_top + 300))
xdotool mousemove "$x" "$y" mousedown 1
for ((i = 1; i <= 20; i++)); do xdotool mousemove $((x - 110 * i)) "$y" sleep 0.02; done
xdotool mouseup 1
left=$((left - 2200))
wait_for 5 geometry_is "$handheld" "$left $open_top 464 571" ||
  die "the drag left the case at $(geometry "$handheld"), not at $left,$open_top"
about_at 0 0

# +: 150 % about the same middle and hinge, on this monitor. 200 % (1142
# high) cannot fit it, so a second + changes nothing: - then gives 100 %
# where it was. + and 0 do the same.
at_150() {
  local x y w h
  read -r x y w h <<<"$(geometry "$handheld")"
  ((w == 696 && h == 857 && x == left + 232 - 348 && y >= open_top + 271 - 407 &&
    y <= open_top + 271 - 406))
}
at_100() { geometry_is "$handheld" "$left $open_top 464 571"; }
for back in minus 0; do
  xdotool key plus
  wait_for 5 at_150 || fail "+ left the case at $(geometry "$handheld")"
  [[ $back == minus ]] && xdotool key plus
  xdotool key "$back"
  wait_for 5 at_100 || fail "+ and $back left the case at $(geometry "$handheld"), not at $left,$open_top"
done

esc_exits
finish
