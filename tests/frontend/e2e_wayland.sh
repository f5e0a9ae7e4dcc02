#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The real program on a Wayland desktop with no XWayland, on Qt's Wayland
# platform, nested in an X server: the launcher with a title bar of its own
# and no minimise, maximise or close; PLAY; the lid opening upwards where
# the case stands; a drag there and back, which is the compositor's own
# move; About, which leaves the keyboard with the handheld and closes on a
# click; Game A; Esc. No program places its windows there, and there is no
# X server to ask where they are: they are found on the screen, against a
# desktop of one colour.
#
#   e2e_wayland.sh DESKTOP CANTIERE CANTIERE_SIM
#
# DESKTOP: weston or sway.
set -uo pipefail

desktop=$1
cantiere=$(realpath "$2")
sim=$(realpath "$3")
case $desktop in
  weston) tools=(weston) ;;
  sway) tools=(sway setpriv) ;;
  *) echo "e2e_wayland: unknown desktop $desktop" >&2; exit 2 ;;
esac
source "$(dirname "$0")/desktop_lib.sh" e2e_wayland Xvfb xdotool import convert compare "${tools[@]}"
fail_tag="$desktop without XWayland"

colour='#2080c0'
own_folders
# "(no sound)" chosen, so PLAY is ready; the plain LCD.
printf '[General]\nSoundMode=2\nLcdEffects=0\n' | tee "$XDG_CONFIG_HOME/Lanterna/Cantiere.ini" >"$work/sim.ini"
unset WAYLAND_DISPLAY QT_QPA_PLATFORM SESSION_MANAGER

# The compositor's output fills the top left 1024 x 768 of the X server.
start_xvfb 1280x800x24
outer=$DISPLAY
case $desktop in
  weston)
    printf '%s\n' '[core]' 'idle-time=0' '[shell]' 'panel-position=none' 'animation=none' \
      'close-animation=none' 'startup-animation=none' "background-color=0xff${colour#\#}" \
      >"$work/weston.ini"
    socket="cantiere-e2e-$$"
    weston --backend=x11-backend.so --width=1024 --height=768 --config="$work/weston.ini" \
      --socket="$socket" --log="$work/compositor.log" >/dev/null 2>&1 &
    pids+=($!)
    socket=$XDG_RUNTIME_DIR/$socket
    ;;
  sway)
    # Sway will not run as root: there it runs as nobody, in a runtime
    # folder of its own that this user may reach.
    run=$work/sway-run
    mkdir -p "$run"
    as_sway_user=()
    if ((EUID == 0)); then
      chown nobody "$run"
      chmod 755 "$work"
      as_sway_user=(setpriv --reuid=nobody --regid=nogroup --clear-groups)
    fi
    chmod 700 "$run"
    printf '%s\n' 'xwayland disable' "output * bg $colour solid_color" 'output X11-1 mode 1024x768' \
      'focus_follows_mouse no' "exec sh -c 'echo \$WAYLAND_DISPLAY >$run/socket'" >"$work/sway.config"
    chmod 644 "$work/sway.config"
    XDG_RUNTIME_DIR=$run HOME=$run WLR_BACKENDS=x11 WLR_RENDERER=pixman WLR_X11_OUTPUTS=1 \
      "${as_sway_user[@]}" sway -c "$work/sway.config" \
      >"$work/compositor.log" 2>&1 &
    pids+=($!)
    named() { [[ -s $run/socket ]]; }
    wait_for 20 named || { cat "$work/compositor.log" >&2; die "sway did not start"; }
    socket=$run/$(cat "$run/socket")
    ;;
esac
socket_ready() { [[ -S $socket ]]; }
wait_for 20 socket_ready || { cat "$work/compositor.log" >&2; die "$desktop did not start"; }
on_die() { tail -n 20 "$work/compositor.log" >&2; }

# The pointer and keys go to the compositor's window on the X server. A
# Wayland window has the pointer once it has moved over it.
input() {
  if [[ $1 == mousemove && (${4:-} == click || ${6:-} == mousedown) ]]; then
    xdotool mousemove $(($2 - 1)) "$3" sleep 0.1
  fi
  xdotool "$@"
}
# Where the program's windows show: the smallest rectangle holding every
# pixel of the compositor's output that is not the desktop, as X Y W H. The
# pointer is drawn too: what shows with it in the first pixel and again with
# it in the last, and only that, is the program's. $work/screen.png is the
# second.
shown() {
  local corner
  for corner in 0 1; do
    input mousemove $((corner * 1023)) $((corner * 767))
    sleep 0.1
    import -window root -crop 1024x768+0+0 +repage "$work/screen.png"
    convert "$work/screen.png" -fuzz 1% -fill black -opaque "$colour" -fill white +opaque black \
      "$work/shown-$corner.png"
  done
  convert "$work/shown-0.png" "$work/shown-1.png" -compose multiply -composite -format '%@' info: \
    2>/dev/null | sed -n 's/^\([0-9]*\)x\([0-9]*\)+\([0-9]*\)+\([0-9]*\)$/\3 \4 \1 \2/p'
}
shown_size_is() {  # W H: sets at to where that shows
  at=$(shown)
  [[ ${at#* * } == "$1 $2" ]]
}
at=""

(cd / && exec env -u DISPLAY WAYLAND_DISPLAY="$socket" "$cantiere") >"$work/app.log" 2>&1 &
app_pid=$!

# The launcher: its client area and a bar of its own above it, nothing
# else (the toolkit's frame, with its buttons, would be 252 x 346).
wait_for 15 shown_size_is 246 335 || die "no launcher of 246 x 335 on screen: $at"
read -r lx ly _ <<<"$at"
echo "$desktop: the launcher at $lx,$ly"
click_play "$lx" $((ly + 22))

# The case shows as the driver's snapshot NAME, where the compositor put it:
# sets at to its window's place and size (the case's outermost pixels are
# transparent, so the window lies a little beyond what shows).
case_shown() {  # NAME
  local inner ox oy w h x y sw sh
  inner=$(convert "$work/$1-outside.png" -format '%@' info:)
  read -r w h ox oy <<<"${inner//[x+]/ }"
  read -r sw sh <<<"$(identify -format '%w %h' "$work/$1-outside.png")"
  read -r x y _ <<<"$(shown_size_is "$w" "$h" && echo "$at")"
  [[ -n ${y:-} ]] && at="$((x - ox)) $((y - oy)) $sw $sh"
}
looks_like() {  # NAME: the screen shows the case as in the snapshot NAME at $at
  local in x y w h
  read -r x y w h <<<"$at"
  convert "$work/screen.png" -crop "${w}x$h+$x+$y" +repage "$work/$1.png"
  in=$(differing "$work/$1.png" "$work/$1-expected.png" 2%)
  echo "$1: $in pixels differ from cantiere-sim's snapshot"
  ((in <= 40)) || fail "$1: $in pixels differ from cantiere-sim's snapshot"
}

# The closed case, where the compositor put it.
expected closed "play 2"
wait_for 5 case_shown closed || die "after PLAY the screen shows $at, not the closed case"
read -r cx cy _ <<<"$at"
echo "$desktop: PLAY put the case at $cx,$cy"
looks_like closed

# The lid opens upwards: the base stays where it was.
expected open "play 2" "click Im_Front"
click_lid "$cx" "$cy" 464 300
oy=$((cy - 271))
wait_for 5 case_shown open || die "after the click on the lid the screen shows $at"
[[ $at == "$cx $oy 464 571" ]] || fail "the open case is at $at, not $cx $oy 464 571"
looks_like open

# A drag moves the case with the pointer, pixel for pixel; a drag back
# puts it where it was.
drag() {  # FROM-X FROM-Y DX DY
  input mousemove "$1" "$2" sleep 0.1 mousedown 1 sleep 0.1
  local i
  for ((i = 1; i <= 8; i++)); do input mousemove $(($1 + $3 * i / 8)) $(($2 + $4 * i / 8)) sleep 0.03; done
  input sleep 0.3 mouseup 1 sleep 0.2
}
case_at() { case_shown open && [[ $at == "$1 $2 464 571" ]]; }
drag $((cx + 30)) $((oy + 300)) 40 30
wait_for 5 case_at $((cx + 40)) $((oy + 30)) || fail "a drag by 40,30 left the case at $at"
read -r dx dy _ <<<"$at"
drag $((dx + 30)) $((dy + 300)) $((cx - dx)) $((oy - dy))
wait_for 5 case_at "$cx" "$oy" || fail "the drag back left the case at $at"

# F1: About shows, beside or over the case; Ctrl pressed meanwhile reaches
# the handheld, which is seen once a click has closed About.
cp "$work/screen.png" "$work/before-about.png"
input key F1
about=""
about_shown() {
  shown >/dev/null
  about=$(compare -fuzz 2% "$work/before-about.png" "$work/screen.png" -compose src -highlight-color white \
    -lowlight-color black png:- 2>/dev/null | convert - -format '%@' info: |
    sed -n 's/^\([0-9]*\)x\([0-9]*\)+\([0-9]*\)+\([0-9]*\)$/\3 \4 \1 \2/p')
  [[ ${about#* * } == "275 224" ]]
}
wait_for 5 about_shown || fail "F1 did not show About of 275 x 224 (changed: $about)"
input keydown ctrl
sleep 0.3
if [[ -n $about ]]; then
  read -r ax ay _ <<<"$about"
  input mousemove $((ax + 137)) $((ay + 180)) click 1
  about_gone() { case_at "$cx" "$oy"; }
  wait_for 5 about_gone || fail "a click on About did not close it"
fi
expected ctrl "play 2" "click Im_Front" "keydown ctrl"
shown >/dev/null
at="$cx $oy 464 571"
looks_like ctrl
input keyup ctrl

# Game A: the barrels roll.
click_button() { input mousemove $((cx + $1)) $((oy + $2)) click 1; }
click_button 397 334
sleep 1.3
shown >/dev/null
cp "$work/screen.png" "$work/play1.png"
sleep 1.3
shown >/dev/null
changed=$(differing "$work/play1.png" "$work/screen.png" 2%)
echo "Game A: $changed pixels changed in 1.3 s of play"
((changed > 50)) || fail "nothing moved during the game"

esc_exits

finish
