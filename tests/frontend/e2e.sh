#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The real program on a desktop of its own, used with real X events: choose
# "(no sound)", PLAY, check where the handheld appears and that the desktop
# shows round its case, open the lid, drag the case there and back, hold
# Ctrl, open and close About, start Game A and leave with Esc. Every
# picture on screen is compared with the driver's snapshot of the same state.
#
#   e2e.sh DESKTOP CANTIERE CANTIERE_SIM X11_TOOL
#
# DESKTOP: bare (an X server alone), openbox, xfwm4, mutter (GNOME's, in
# X11 mode), kwin (KDE's, kwin_x11), icewm (with its task bar), i3, fluxbox
# (with its tool bar), or weston and sway (each with XWayland, nested in an
# X server, used as a Wayland session is: the program finds WAYLAND_DISPLAY
# and DISPLAY and no QT_QPA_PLATFORM).
set -uo pipefail

desktop=$1
cantiere=$(realpath "$2")
sim=$(realpath "$3")
x11_tool=$(realpath "$4")
case $desktop in
  bare) tools=() ;;
  openbox) tools=(openbox) ;;
  xfwm4) tools=(xfwm4 dbus-daemon) ;;
  weston) tools=(weston Xwayland) ;;
  mutter) tools=(mutter dbus-daemon) ;;
  kwin) tools=(kwin_x11 dbus-daemon) ;;
  icewm) tools=(icewm) ;;
  i3) tools=(i3) ;;
  fluxbox) tools=(fluxbox) ;;
  sway) tools=(sway Xwayland xhost setpriv) ;;
  *) echo "e2e: unknown desktop $desktop" >&2; exit 2 ;;
esac
source "$(dirname "$0")/desktop_lib.sh" e2e Xvfb xdotool xwininfo import convert compare "${tools[@]}"
fail_tag=$desktop

# The desktop's colour, which must show round the case.
colour='#2080c0'
own_folders
# The plain LCD, segments switching at once (e2e_effects.sh checks the effects).
printf '[General]\nLcdEffects=0\n' | tee "$XDG_CONFIG_HOME/Lanterna/Cantiere.ini" >"$work/sim.ini"
unset WAYLAND_DISPLAY QT_QPA_PLATFORM SESSION_MANAGER

# An X server of our own, on whatever display is free; held keys repeat as
# on a desktop (250 ms delay, then every 33 ms). Nested Weston gets a larger
# one, so the pointer can leave its window and come back in, which is when
# it starts to follow the pointer.
screen=1024x768x24
[[ $desktop == weston || $desktop == sway ]] && screen=1280x800x24
start_xvfb "$screen" -ardelay 250 -arinterval 33
outer=$DISPLAY
"$x11_tool" desktop "${colour#\#}" || die "could not paint the desktop"

session_bus() {  # a session bus of our own, which some window managers need
  dbus-daemon --session --fork --print-address=3 --print-pid=4 3>"$work/bus" 4>"$work/bus.pid" ||
    die "no session bus"
  pids+=("$(cat "$work/bus.pid")")
  export DBUS_SESSION_BUS_ADDRESS=$(cat "$work/bus")
}
case $desktop in
  openbox)
    openbox --sm-disable >"$work/wm.log" 2>&1 &
    pids+=($!)
    ;;
  xfwm4)
    # It reads its settings over a session bus.
    session_bus
    xfwm4 --sm-client-disable >"$work/wm.log" 2>&1 &
    pids+=($!)
    ;;
  mutter)
    session_bus
    mutter --x11 --replace --sm-disable >"$work/wm.log" 2>&1 &
    pids+=($!)
    ;;
  kwin)
    # Composited, KWin leaves the screen black where no desktop window
    # (Plasma's) is drawn; uncomposited the desktop shows through the shape.
    session_bus
    KWIN_COMPOSE=N QT_QPA_PLATFORM=xcb kwin_x11 --replace >"$work/wm.log" 2>&1 &
    pids+=($!)
    ;;
  icewm)
    # Its task bar along the bottom, as it comes.
    icewm >"$work/wm.log" 2>&1 &
    pids+=($!)
    ;;
  i3)
    printf '%s\n' 'font pango:monospace 8' 'focus_follows_mouse no' >"$work/i3.config"
    i3 -c "$work/i3.config" >"$work/wm.log" 2>&1 &
    pids+=($!)
    ;;
  fluxbox)
    # Its tool bar along the bottom, as it comes; the desktop left as it is.
    mkdir -p "$HOME/.fluxbox"
    echo 'background: none' >"$HOME/.fluxbox/overlay"
    echo "session.styleOverlay: $HOME/.fluxbox/overlay" >"$HOME/.fluxbox/init"
    fluxbox >"$work/wm.log" 2>&1 &
    pids+=($!)
    ;;
  sway)
    # Sway will not run as root: it runs as nobody, in a runtime folder of
    # its own, and lets this user reach its XWayland.
    sway_run=$work/sway-run
    mkdir -p "$sway_run"
    chown nobody "$sway_run" && chmod 700 "$sway_run"
    chmod 755 "$work"
    cat >"$work/sway.config" <<EOF
xwayland enable
output * bg $colour solid_color
output X11-1 mode 1024x768
focus_follows_mouse no
exec sh -c 'xhost +si:localuser:$(id -un) >/dev/null && echo "\$DISPLAY \$WAYLAND_DISPLAY" >$sway_run/inner'
EOF
    chmod 644 "$work/sway.config"
    XDG_RUNTIME_DIR=$sway_run HOME=$sway_run WLR_BACKENDS=x11 WLR_RENDERER=pixman WLR_X11_OUTPUTS=1 \
      setpriv --reuid=nobody --regid=nogroup --clear-groups sway -c "$work/sway.config" >"$work/wm.log" 2>&1 &
    pids+=($!)
    inner_ready() { [[ -s $sway_run/inner ]]; }
    wait_for 20 inner_ready || die "sway did not start XWayland"
    read -r inner socket <"$sway_run/inner"
    wait_for 15 xdpyinfo -display "$inner" >/dev/null 2>&1 || die "XWayland did not start"
    export DISPLAY=$inner WAYLAND_DISPLAY=$sway_run/$socket
    ;;
  weston)
    cat >"$work/weston.ini" <<EOF
[core]
xwayland=true
idle-time=0
[shell]
panel-position=none
background-color=0xff${colour#\#}
EOF
    socket="cantiere-e2e-$$"
    weston --backend=x11-backend.so --width=1024 --height=768 --xwayland \
      --config="$work/weston.ini" --socket="$socket" --log="$work/weston.log" >/dev/null 2>&1 &
    pids+=($!)
    inner=""
    find_xwayland() {
      inner=$(sed -n 's/.*xserver listening on display \(:[0-9]*\).*/\1/p' "$work/weston.log" 2>/dev/null)
      [[ -n $inner ]]
    }
    wait_for 15 find_xwayland || die "Weston did not start XWayland"
    # XWayland starts with its first client.
    wait_for 15 xdpyinfo -display "$inner" >/dev/null 2>&1 || die "XWayland did not start"
    export DISPLAY=$inner WAYLAND_DISPLAY=$socket
    ;;
esac
nested=""
[[ $desktop == weston || $desktop == sway ]] && nested=yes
if [[ $desktop != bare && -z $nested ]]; then
  wm_running() { xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; }
  wait_for 10 wm_running || die "$desktop did not start"
fi

# Input and screenshots go to the outer server: with Weston that is its
# window, which forwards them to the programs inside.
[[ -n $nested ]] && input() {
  # Under sway a press that follows the one move that brought the pointer
  # into an X11 window is lost (XWayland reports the pointer leaving it):
  # the pointer comes in by two moves, as a hand's does.
  if [[ $desktop == sway && $1 == mousemove && (${4:-} == click || ${6:-} == mousedown) ]]; then
    DISPLAY=$outer xdotool mousemove $(($2 - 1)) "$3" sleep 0.1 mousemove "$2" "$3" sleep 0.1
    shift 3
  fi
  DISPLAY=$outer xdotool "$@"
}
near() {  # X Y: the open case is there
  local x y
  read -r x y _ <<<"$(case_geometry 571)"
  [[ -n $y ]] && ((x == $1 && y == $2))
}
shot() {  # FILE X Y W H: what the screen shows there
  import -display "$outer" -window root -crop "$4x$5+$2+$3" +repage "$1"
}
# Compares what the screen shows at the handheld's place with a state: the
# case pixel for pixel, and round it the desktop. Weston draws a soft shadow
# under every undecorated window, and mutter one under the shaped case, so
# there the desktop may be darkened, though never black.
looks_like() {  # NAME TOLERANCE SCRIPT-LINES...
  local name=$1 tolerance=$2
  shift 2
  expected "$name" "$@"
  # The screen may still be settling (a compositor fades a window out).
  local try in out
  for try in 1 2 3 4 5 6; do
    ((try > 1)) && sleep 0.3
    compare_screen "$name"
    ((in <= tolerance && out <= tolerance)) && break
  done
  echo "$name: $in pixels of the case differ from cantiere-sim's snapshot, $out round it from the desktop"
  if ((in > tolerance || out > tolerance)); then
    fail "$name: $in pixels of the case differ from the snapshot, $out round it from the desktop"
    [[ -n ${E2E_KEEP:-} ]] && cp "$work/$name.png" "$work/$name-expected.png" "$E2E_KEEP/"
  fi
}
# Sets in and out for the screen now against the picture NAME expects.
compare_screen() {
  local name=$1 x y w h
  read -r x y w h <<<"$(case_geometry "$(identify -format %h "$work/$name-expected.png")")"
  shot "$work/$name.png" "$x" "$y" "$w" "$h"
  local outside=$work/$name-outside.png desk=$work/$name-desk.png
  convert -size "${w}x$h" "xc:$colour" "$desk"
  convert "$work/$name.png" "$desk" "$outside" -composite "$work/$name-case.png"
  convert "$desk" "$work/$name.png" "$outside" -composite "$work/$name-round.png"
  in=$(differing "$work/$name-case.png" "$work/$name-expected.png" 2%)
  if [[ $desktop == weston || $desktop == mutter ]]; then
    # Blue at least half as strong as the desktop's (a fifth under mutter's
    # deeper shadow): shaded, not black.
    local least=39%
    [[ $desktop == mutter ]] && least=15%
    out=$(convert "$work/$name-round.png" -channel B -separate +channel -threshold $least \
      -format '%[fx:round(w*h*(1-mean))]' info:)
  else
    out=$(differing "$work/$name-round.png" "$desk" 2%)
  fi
}

# Started from another folder: it must find its SOUND folder and documents.
started=$(ms)
(cd / && exec "$cantiere") >"$work/app.log" 2>&1 &
app_pid=$!

wait_for_launcher "$app_pid"
echo "$desktop: launcher on screen after $(($(ms) - started)) ms"
wait_for 5 focus_is "$launcher" || fail "the launcher did not get the keyboard"
# Centred; a frame the window manager adds may shift it a little. Weston
# maps the window in a frame at 0,0 and places the frame some 10 to 30 ms
# later, so the place is waited for, not read at once.
launcher_centred() {
  read -r lx ly lw lh <<<"$(geometry "$launcher")"
  ((lx + lw / 2 - 512 >= -40 && lx + lw / 2 - 512 <= 40 && ly + lh / 2 - 384 >= -40 &&
    ly + lh / 2 - 384 <= 40))
}
wait_for 5 launcher_centred || fail "the launcher at $lx,$ly is not centred"
((lw == 246 && lh == 313)) || fail "the launcher is ${lw}x$lh"
sleep 0.5
[[ -z $(window_named 'Cantiere \(Ludoria\) Simulator') ]] ||
  fail "the handheld is shown before PLAY placed it"

# Into the desktop from outside, so Weston follows the pointer.
input mousemove 1279 799
sleep 0.2
# The sound list: open it, check it opens at the list, take its third entry.
open_popup_at $((lx + 128 + 48)) $((ly + 242 + 10))
sleep 0.2
read -r px py pw ph <<<"$(geometry "$popup")"
# It opens over or just below the list itself, never above it.
((py >= ly + 242 - ph + 21 && py <= ly + 242 + 21 + 2 && px >= lx + 128 - 2 && px <= lx + 128 + 2)) ||
  fail "the sound list's popup opened at $px,$py for a list at $((lx + 128)),$((ly + 242))"
# Sway gives the pointer to a new window at the pointer's next move.
input mousemove $((px + pw / 2)) $((py + ph * 5 / 6 - 2))
sleep 0.2
input mousemove $((px + pw / 2)) $((py + ph * 5 / 6)) click 1
sleep 0.3
click_play "$lx" "$ly"

# The handheld's window; where a window manager refuses to move it, it is
# made anew, so it is looked up again each time.
handheld() { window_named 'Cantiere \(Ludoria\) Simulator'; }
# The case within it: the window's lowest HEIGHT rows, all of it but where
# the window stays as tall as the open case (a compositor that centres
# every size change would otherwise move the base when the lid opens).
case_geometry() {  # HEIGHT
  local x y w h
  read -r x y w h <<<"$(geometry "$(handheld)")"
  [[ -n $h ]] && ((h >= $1)) && echo "$x $((y + h - $1)) $w $1"
}
handheld_at() { [[ $(case_geometry "${1##* }") == "$1" ]]; }
handheld_has_keyboard() { focus_is "$(handheld)"; }
handheld_shown() { [[ -n $(handheld) ]]; }
wait_for 5 handheld_shown || die "no handheld window after PLAY"
# Where the model puts it; a window manager that frames or places windows
# its own way may keep it a little off, and the case then stays where it
# put it, which is checked from here on.
if ! wait_for 5 handheld_at "280 369 464 300"; then
  fail "PLAY placed the case at $(case_geometry 300), not 280 369 464 300"
fi
read -r cx cy _ <<<"$(case_geometry 300)"
[[ -n $cy ]] || die "no case on screen"
echo "$desktop: PLAY placed the case at $cx,$cy"
[[ -z $(window_named 'About Cantiere\.\.\.') ]] || fail "the launcher is still shown"
wait_for 5 handheld_has_keyboard || fail "the handheld did not get the keyboard after PLAY"
input mousemove 5 5
sleep 0.4
looks_like closed 40 "play 2"

# Outside the case the pointer is over the desktop, not the handheld.
if [[ $desktop != weston ]]; then
  input mousemove $((cx + 2)) $((cy + 2))
  sleep 0.1
  eval "$(xdotool getmouselocation --shell)"
  [[ $WINDOW != "$(handheld)" ]] || fail "the corner beside the case belongs to the handheld's window"
else
  echo "weston: not checked: Weston gives an X11 program's window a rectangular input area"
fi

# The lid: the case opens upwards, its lower half staying where it was.
click_lid "$cx" "$cy" 464 300
oy=$((cy - 271))
wait_for 5 handheld_at "$cx $oy 464 571" ||
  die "after the click on the lid the case is at $(case_geometry 571), not $cx $oy 464 571"
input mousemove 5 5
sleep 0.5
looks_like open 40 "play 2" "click Im_Front"

# A drag on the case moves it; a drag back puts it where it was.
drag() {  # FROM-X FROM-Y DX DY
  input mousemove "$1" "$2" sleep 0.1 mousedown 1 sleep 0.1
  local i n=8
  for ((i = 1; i <= n; i++)); do
    input mousemove $(($1 + $3 * i / n)) $(($2 + $4 * i / n)) sleep 0.03
  done
  input sleep 0.3 mouseup 1 sleep 0.2
}
drag $((cx + 30)) $((oy + 300)) 40 30
wait_for 5 near $((cx + 40)) $((oy + 30)) ||
  fail "a drag by 40,30 left the window at $(geometry "$(handheld)")"
read -r dx dy _ <<<"$(case_geometry 571)"
drag $((dx + 30)) $((dy + 300)) $((cx - dx)) $((oy - dy))
wait_for 5 near "$cx" "$oy" ||
  fail "the drag back left the window at $(geometry "$(handheld)")"
read -r cx oy _ <<<"$(case_geometry 571)"

# A drag down into the bottom of the screen, where a task bar may be: the
# window manager may hold the case short of the pointer, and it stays
# wherever it ends, the same window; a drag back by as far as it went puts
# it back.
window_before=$(handheld)
drag $((cx + 30)) $((oy + 300)) 0 300
held=""
case_settled() {
  local now
  now=$(case_geometry 571)
  sleep 0.3
  [[ -n $now && $(case_geometry 571) == "$now" ]] && held=$now
}
wait_for 5 case_settled || fail "the case did not come to rest after a drag down"
read -r hx hy _ <<<"$held"
echo "$desktop: dragged down by 300, the case rests at ${hx:-?},${hy:-?}"
# Long enough for the program to have judged how the move went.
sleep 1.5
[[ $(case_geometry 571) == "$held" ]] || fail "after the drag down the case moved on to $(case_geometry 571)"
((hx == cx && hy > oy && hy <= oy + 300)) || fail "dragged down by 300 from $cx,$oy the case is at $held"
[[ $desktop == weston || $(handheld) == "$window_before" ]] || fail "the window was made anew"
drag $((hx + 30)) $((hy + 300)) 0 $((oy - hy))
wait_for 5 near "$cx" "$oy" ||
  fail "dragged back up by $((hy - oy)) from $hx,$hy the case is at $(case_geometry 571)"
input mousemove 5 5
wait_for 5 handheld_has_keyboard || fail "the handheld lost the keyboard in a drag"

# F1: About shows and leaves the keyboard with the handheld: Ctrl pressed
# while it shows presses the jump button in, which is looked at once About
# has closed. Closed, About is gone and the handheld still has the keyboard.
input key F1
about=""
find_about() { about=$(window_named 'About the author\.\.\.'); [[ -n $about ]]; }
wait_for 5 find_about || fail "F1 did not show About"
sleep 0.5
wait_for 5 handheld_has_keyboard || fail "About took the keyboard from the handheld"
input keydown ctrl
sleep 0.2
if [[ -n $about ]]; then
  read -r ax ay aw ah <<<"$(geometry "$about")"
  ((aw == 275 && ah == 224)) || fail "About is ${aw}x$ah"
  ((ax <= 40 && ay <= 40)) || fail "About at $ax,$ay, not at the top left corner"
  "$x11_tool" close "$about"
  gone() { [[ -z $(window_named 'About the author\.\.\.') ]]; }
  wait_for 5 gone || fail "About did not close"
fi
looks_like ctrl 40 "play 2" "click Im_Front" "keydown ctrl"
input keyup ctrl
wait_for 5 handheld_has_keyboard || fail "the handheld does not have the keyboard after About"
# Shown again, About opens where it did the first time, its frame's title
# bar on the screen (fluxbox's once lay above it every second time). A
# compositor's note may be put anywhere.
if [[ -n $about && $desktop != weston && $desktop != sway ]]; then
  first_about="$ax $ay $aw $ah"
  input key F1
  about=""
  wait_for 5 find_about || fail "F1 did not show About a second time"
  again() { [[ $(geometry "$about") == "$first_about" ]]; }
  wait_for 5 again && sleep 0.5 # past the program's own look at where it lies
  again || fail "About shown again is at $(geometry "$about"), not at $first_about"
  "$x11_tool" close "$about"
  wait_for 5 gone || fail "About did not close"
fi

# Game A: the barrels roll.
input mousemove $((cx + 387 + 10)) $((oy + 328 + 6)) click 1 mousemove 5 5
sleep 1.3
shot "$work/play1.png" "$cx" "$oy" 464 571
sleep 1.3
shot "$work/play2.png" "$cx" "$oy" 464 571
diff_start=$(differing "$work/open.png" "$work/play1.png" 2%)
diff_play=$(differing "$work/play1.png" "$work/play2.png" 2%)
echo "Game A: $diff_start pixels changed from the open case, then $diff_play in 1.3 s of play"
((diff_start > 1000)) || fail "Game A did not clear the screens for a game"
((diff_play > 50)) || fail "nothing moved during the game"

# Esc, the menu's Exit: the program ends and the choice is kept.
esc_exits
settings="$XDG_CONFIG_HOME/Lanterna/Cantiere.ini"
grep -qx 'SoundMode=2' "$settings" 2>/dev/null || fail "SoundMode=2 is not in $settings"

finish
