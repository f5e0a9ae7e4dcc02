#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The real program at several sizes on its own 3840 x 2160 X server, used
# with real X events: at 150, 200 and 300 % and at 100 % with Qt's own
# QT_SCALE_FACTOR=2 and with the X resource Xft.dpi: 144 (Qt then scales by
# 1.5; on the bare server and under openbox and fluxbox, which follow the
# window's size hints), PLAY places the scaled case, the lid opens upwards,
# the open window matches the driver's snapshot at the same scale pixel for
# pixel, a click on a button's last pixel presses it and one pixel beyond
# does not, and a drag from the case's lowest row moves the window exactly
# as far as the pointer.
#
#   e2e_zoom.sh CANTIERE CANTIERE_SIM
set -uo pipefail

cantiere=$(realpath "$1")
sim=$(realpath "$2")
source "$(dirname "$0")/desktop_lib.sh" e2e_zoom Xvfb xdotool import compare convert xrdb \
  xprop openbox fluxbox

screen_w=3840 screen_h=2160
start_xvfb ${screen_w}x${screen_h}x24
unset WAYLAND_DISPLAY
export QT_QPA_PLATFORM=xcb
own_folders  # each run has a settings folder of its own as well

pixels_differing() { compare -metric AE "$1" "$2" null: 2>&1 | awk '{printf "%d\n", $1}'; }
# Catalogue -> window pixels at zoom $z: edges round half up.
win() { echo $((($1 * z + 50) / 100)); }

# The window manager of a run, if any; wm_pid. A run cut short leaves its
# program and window manager to the next run's start.
wm_pid=""
wm_named() {  # NAME: the running window manager calls itself that
  local check
  check=$(xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | awk '/window id/ {print $NF}')
  [[ -n $check ]] && xprop -id "$check" _NET_WM_NAME 2>/dev/null | grep -qi "\"$1\""
}
start_wm() {  # openbox | fluxbox
  if [[ $1 == fluxbox ]]; then  # its tool bar as it comes, the desktop left as it is
    mkdir -p "$HOME/.fluxbox"
    echo 'background: none' >"$HOME/.fluxbox/overlay"
    echo "session.styleOverlay: $HOME/.fluxbox/overlay" >"$HOME/.fluxbox/init"
    fluxbox >"$work/wm.log" 2>&1 &
  else
    openbox --sm-disable >"$work/wm.log" 2>&1 &
  fi
  wm_pid=$!
  pids+=("$wm_pid")
  wait_for 10 wm_named "$1"
}
stop_leftovers() {
  [[ -n $app_pid ]] && stop_process "$app_pid"
  [[ -n $wm_pid ]] && stop_process "$wm_pid"
  app_pid="" wm_pid=""
}

# One run: zoom percent, Qt scale factor. With a DPI, the size stored is
# 100 % and the X resource Xft.dpi makes Qt's own scale the zoom, which
# must look and answer clicks exactly as that size does, also under a
# window manager (that scale once made openbox cut the open case's lowest
# row off).
run() {  # ZOOM SCALE [DPI [WINDOW-MANAGER]]
  stop_leftovers
  z=$1
  local f=$2 dpi=${3:-} wm=${4:-} stored=$1 name="${1}% x$2"
  if [[ -n $dpi ]]; then
    stored=100 name="100% with Xft.dpi $dpi${wm:+ under $wm}"
    echo "Xft.dpi: $dpi" | xrdb -merge || { fail "$name: xrdb failed"; return; }
  fi
  if [[ -n $wm ]]; then start_wm "$wm" || { fail "$name: $wm did not start"; return; }; fi
  local config="$work/config-$1-$2$dpi"
  mkdir -p "$config/Lanterna"
  printf '[General]\nSoundMode=2\nZoom=%s\n' "$stored" >"$config/Lanterna/Cantiere.ini"
  XDG_CONFIG_HOME="$config" QT_SCALE_FACTOR=$f "$cantiere" >"$work/app.log" 2>&1 &
  app_pid=$!

  local launcher="" handheld="" lx ly
  wait_for 15 find_launcher "$app_pid" || {
    fail "$name: no launcher"
    sed 's/^/  app.log: /' "$work/app.log" >&2
    kill -0 "$app_pid" 2>/dev/null && echo "  the program still runs" >&2
    return
  }
  # The launcher has the keyboard once the start-up is over.
  wait_for 5 focus_is "$launcher" || fail "$name: the launcher did not get the keyboard"
  click_play "$lx" "$ly" $((f * z * 100 / stored))

  # The model sees the screen in catalogue pixels and centres the case for
  # its opening; the window is that, scaled (all of it fits this screen).
  local sw=$((screen_w / f * 100 / z)) sh=$((screen_h / f * 100 / z))
  local left=$(((sw - 464) / 2)) top=271
  ((sh > 600)) && top=$(((sh - 300 + 271) / 2))
  local cx=$(($(win "$left") * f)) cy=$(($(win "$top") * f))
  local cw=$(($(win 464) * f)) ch=$(($(win 300) * f)) oh=$(($(win 571) * f))
  find_handheld() { handheld=$(window_named 'Cantiere \(Ludoria\) Simulator'); [[ -n $handheld ]]; }
  wait_for 5 find_handheld || { fail "$name: no handheld"; return; }
  wait_for 5 geometry_is "$handheld" "$cx $cy $cw $ch" ||
    { fail "$name: PLAY placed the handheld at $(geometry "$handheld"), not $cx $cy $cw $ch"; return; }

  # The lid: the open case grows upwards, its bottom where the closed one's was.
  click_lid "$cx" "$cy" "$cw" "$ch"
  local oy=$((cy + ch - oh))
  wait_for 5 geometry_is "$handheld" "$cx $oy $cw $oh" ||
    { fail "$name: the open case is at $(geometry "$handheld"), not $cx $oy $cw $oh"; return; }
  xdotool mousemove 5 5
  sleep 0.4
  import -window "$handheld" "$work/open.png"
  # The segments, with the LCD effects on, settle within 120 ms of the click.
  printf 'play 2\nclick Im_Front\nwait 300\nsnapshot %s %d\n' "$work/sim.png" $((z * f)) |
    "$sim" >/dev/null ||
    { fail "$name: no snapshot"; return; }
  # Round the case the window shows the desktop (it is shaped like the
  # case): the case is compared, up to a band of its edge, where the shape
  # and the snapshot's dark background may part by a pixel.
  convert "$work/sim.png" -fill '#ff00ff' -fuzz 14% -draw 'color 0,0 floodfill' -fuzz 0 \
    -fill black +opaque '#ff00ff' -fill white -opaque '#ff00ff' -morphology Dilate Square:3 \
    "$work/outside.png"
  local picture
  for picture in open sim; do
    convert "$work/$picture.png" -size "$(identify -format %wx%h "$work/sim.png")" xc:black \
      "$work/outside.png" -composite "$work/$picture-case.png"
  done
  local differ
  differ=$(pixels_differing "$work/open-case.png" "$work/sim-case.png")
  echo "$name: the open case differs from the snapshot at $((z * f)) % in $differ pixels"
  ((differ == 0)) || { fail "$name: $differ pixels differ from the snapshot"; cp "$work/open.png" "$work/open-$z-$f.png"; cp "$work/sim.png" "$work/sim-$z-$f.png"; }

  # Game A's button, catalogue 387..406 x 328..339: a press on its last
  # device pixel shows the pressed look; one pixel to the right does not.
  local bx=$(($(win 387) * f)) by=$(($(win 328) * f)) bw=$((($(win 407) - $(win 387)) * f))
  local bh=$((($(win 340) - $(win 328)) * f))
  local crop="${bw}x${bh}+${bx}+${by}"
  for probe in "$((bx + bw - 1)) pressed" "$((bx + bw)) raised"; do
    read -r px look <<<"$probe"
    xdotool mousemove $((cx + px)) $((oy + by + bh - 1)) mousedown 1
    sleep 0.3
    import -window "$handheld" "$work/held.png"
    xdotool mouseup 1
    sleep 0.2
    convert "$work/held.png" -crop "$crop" +repage "$work/held-button.png"
    convert "$work/open.png" -crop "$crop" +repage "$work/open-button.png"
    local changed
    changed=$(pixels_differing "$work/held-button.png" "$work/open-button.png")
    if [[ $look == pressed ]]; then
      ((changed > 0)) || fail "$name: a press on Game A's last pixel did not press it"
    else
      ((changed == 0)) || fail "$name: a press beside Game A changed it in $changed pixels"
    fi
  done
  # That press started a game, which is over; ACL brings back the segments.
  xdotool mousemove $((cx + ($(win 422) + 1) * f)) $((oy + ($(win 373) + 1) * f)) click 1

  # A drag from the bare case's lowest row (in its middle, the last one
  # inside the band compared above) moves the window exactly as far as the
  # pointer.
  local gx=$((cx + cw / 2)) gy
  gy=$(convert "$work/outside.png" -crop "1x$oh+$((cw / 2))+0" +repage txt:- |
    awk -F'[,:]' '/#000000/ {y = $2} END {print y}')
  gy=$((oy + gy))
  xdotool mousemove "$gx" "$gy" mousedown 1
  for step in 1 2 3 4 5 6; do
    xdotool mousemove $((gx + 7 * step * f)) $((gy - 4 * step * f))
    sleep 0.05
  done
  xdotool mouseup 1
  local dx=$((cx + 42 * f)) dy=$((oy - 24 * f))
  wait_for 5 geometry_is "$handheld" "$dx $dy $cw $oh" ||
    fail "$name: dragged by (+$((42 * f)), -$((24 * f))) the window is at $(geometry "$handheld"), not $dx $dy"

  xdotool key Escape
  wait_for 5 app_ended || fail "$name: Esc did not end the program"
  wait "$app_pid" 2>/dev/null
  app_pid=""
  grep -qx "Zoom=$stored" "$config/Lanterna/Cantiere.ini" || fail "$name: the size is no longer stored"
  [[ -z $dpi ]] || xrdb -remove
  stop_leftovers
}

run 150 1
run 200 1
run 300 1
run 100 2
run 150 1 144
run 150 1 144 openbox
run 150 1 144 fluxbox

finish
