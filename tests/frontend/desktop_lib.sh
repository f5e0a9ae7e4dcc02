# SPDX-License-Identifier: GPL-3.0-or-later
# What every test of the real desktop program shares, sourced first:
#
#   source desktop_lib.sh NAME TOOL...
#
# It checks that the tools are installed (NAME starts the message when one
# is not), makes a work folder that goes at exit (KEEP=1 keeps it), and
# stops at exit the program (app_pid, with app_signal) and then every
# process in pids, the last started first, killing what has not ended 5 s
# later.
desktop_test=$1
shift
for tool in xwininfo "$@"; do  # xwininfo: geometry, below
  command -v "$tool" >/dev/null || { echo "$desktop_test: $tool is missing" >&2; exit 1; }
done

work=$(mktemp -d)
pids=()
app_pid=""
app_signal=TERM
cleanup() {
  [[ -n $app_pid ]] && stop_process "$app_pid" "$app_signal"
  local i
  for ((i = ${#pids[@]} - 1; i >= 0; i--)); do stop_process "${pids[i]}"; done
  wait 2>/dev/null
  if [[ -n ${KEEP:-} ]]; then echo "kept $work"; else rm -rf "$work"; fi
}
trap cleanup EXIT
trap 'exit 1' INT TERM

# fail: noted, the test goes on; die: the test cannot go on. A test may
# define on_die to show more of what happened (a trace, a server's log).
failures=0
fail_tag=""
fail() {
  echo "FAIL${fail_tag:+ [$fail_tag]}: $*" >&2
  failures=$((failures + 1))
}
die() {
  fail "$*"
  [[ $(type -t on_die) == function ]] && on_die
  [[ -s $work/app.log ]] && sed 's/^/  cantiere: /' "$work/app.log" >&2
  echo "0 passed, 1 failed"
  exit 1
}
# The verdict, at the end of a test.
finish() {
  if ((failures)); then
    [[ $(type -t on_die) == function ]] && on_die
    [[ -s $work/app.log ]] && sed 's/^/  cantiere: /' "$work/app.log" >&2
    echo "0 passed, 1 failed"
    exit 1
  fi
  echo "1 passed, 0 failed"
}

ms() { echo $(($(date +%s%N) / 1000000)); }
wait_for() {  # SECONDS COMMAND...: until it succeeds or the time runs out
  local end=$(($(ms) + $1 * 1000))
  shift
  until "$@"; do
    (($(ms) < end)) || return 1
    sleep 0.05  # not faster: a busy Xvfb turns connections away
  done
}

# An X server of the test's own, on whatever display is free, which the
# program and the X tools use from here on. It never resets: a server whose
# last client has left resets itself, and a program starting just then was
# turned away ("cannot open a window"), in about 1 start in 20 here.
start_xvfb() {  # SCREEN [XVFB OPTION]...
  local screen=$1
  shift
  Xvfb -displayfd 3 -screen 0 "$screen" -nolisten tcp -noreset "$@" 3>"$work/display" >"$work/xvfb.log" 2>&1 &
  pids+=($!)
  wait_for 10 test -s "$work/display" || die "Xvfb did not start"
  export DISPLAY=":$(head -n1 "$work/display")"
}

# A home, settings folder and runtime folder of the test's own.
own_folders() {
  export XDG_CONFIG_HOME="$work/config" HOME="$work/home" XDG_RUNTIME_DIR="$work/run"
  mkdir -p "$XDG_CONFIG_HOME/Lanterna" "$HOME" "$XDG_RUNTIME_DIR"
  chmod 700 "$XDG_RUNTIME_DIR"
}

# A PulseAudio server of the test's own: no configuration but ours, a null
# sink that plays nowhere at the program's own rate (so nothing is
# resampled), a socket in the work folder. Run as root it needs no system
# mode when told not to exit. Sets pulse_pid; the server's log is
# $work/pulseaudio.log.
start_pulseaudio() {  # SINK [PULSEAUDIO OPTION]...
  local sink=$1
  shift
  export PULSE_RUNTIME_PATH="$work/pulse"
  mkdir -p "$PULSE_RUNTIME_PATH"
  chmod 700 "$PULSE_RUNTIME_PATH"
  printf '%s\n' "load-module module-null-sink sink_name=$sink rate=22050 channels=2" \
    "load-module module-native-protocol-unix auth-anonymous=1 socket=$work/pulse.sock" \
    "set-default-sink $sink" >"$work/server.pa"
  pulseaudio --daemonize=no --exit-idle-time=-1 --disallow-exit --use-pid-file=no -n \
    -F "$work/server.pa" --log-target=stderr "$@" >"$work/pulseaudio.log" 2>&1 &
  pulse_pid=$!
  pids+=("$pulse_pid")
  export PULSE_SERVER="unix:$work/pulse.sock"
  wait_for 10 pactl info >/dev/null 2>&1 || die "PulseAudio did not start"
}

# The launcher of the program PID, if it shows: sets launcher, lx and ly
# (its client area's corner).
find_launcher() {  # PID
  launcher=$(xdotool search --onlyvisible --pid "$1" --name '^About Cantiere\.\.\.$' 2>/dev/null | head -n1)
  [[ -n $launcher ]] || return 1
  read -r lx ly _ <<<"$(geometry "$launcher")"
}
wait_for_launcher() {  # PID
  wait_for 15 find_launcher "$1" || die "no launcher on screen"
}

# X Y WIDTH HEIGHT of a window's client area, as the X server has it; for
# no window (one being made anew) nothing, as xwininfo would wait for a click.
geometry() {  # WINDOW
  [[ -n $1 ]] || return 0
  xwininfo -id "$1" 2>/dev/null | awk '/Absolute upper-left X/ {x = $NF} /Absolute upper-left Y/ {y = $NF}
    /Width:/ {w = $NF} /Height:/ {h = $NF} END {print x, y, w, h}'
}
geometry_is() { [[ $(geometry "$1") == "$2" ]]; }
focus_is() { [[ $(xdotool getwindowfocus 2>/dev/null) == "$1" ]]; }

# Pointer and keys for the program; a test whose program runs inside a
# nested server points this at the outer one.
input() { xdotool "$@"; }

# PLAY in the launcher whose client area's corner is at X Y (SCALE: the
# screen's scale in percent), and the lid of the closed case that lies at
# X Y W H: it opens on a click in its middle.
click_play() {  # X Y [SCALE]
  input mousemove $(($1 + (91 + 32) * ${3:-100} / 100)) $(($2 + (280 + 12) * ${3:-100} / 100)) click 1
}
click_lid() {  # X Y W H
  input mousemove $(($1 + $3 / 2)) $(($2 + $4 / 2)) click 1
}

# Pixels that differ between two pictures, colours within FUZZ (none unless
# given) counting as the same.
differing() {  # A B [FUZZ]
  compare -metric AE -fuzz "${3:-0}" "$1" "$2" null: 2>&1 | awk '{printf "%d\n", $1}'
}

# The driver's ($sim's) picture of a state as a desktop of $colour shows it:
# everything dark that reaches the snapshot's edge is the desktop's.
# Writes $work/NAME-expected.png, and $work/NAME-outside.png, white where
# the desktop shows.
expected() {  # NAME SCRIPT-LINES...
  local name=$1 settings=()
  shift
  [[ -f $work/sim.ini ]] && settings=(--settings "$work/sim.ini")
  printf '%s\n' "$@" "snapshot $work/sim.png" | "$sim" "${settings[@]}" >/dev/null ||
    die "cantiere-sim could not draw"
  convert "$work/sim.png" -fill '#ff00ff' -fuzz 14% -draw 'color 0,0 floodfill' -fuzz 0 \
    -fill black +opaque '#ff00ff' -fill white -opaque '#ff00ff' "$work/$name-outside.png"
  convert "$work/sim.png" -size "$(identify -format %wx%h "$work/sim.png")" "xc:$colour" \
    "$work/$name-outside.png" -composite "$work/$name-expected.png"
}

# Clicks at X Y and waits for the popup list that the click opens; sets
# popup.
open_popup_at() {  # X Y
  local before
  before=$(xdotool search --onlyvisible --pid "$app_pid" | sort)
  input mousemove "$1" "$2" click 1
  popup=""
  popup_shown() {
    popup=$(comm -13 <(echo "$before") <(xdotool search --onlyvisible --pid "$app_pid" | sort) | head -n1)
    [[ -n $popup ]]
  }
  wait_for 5 popup_shown || die "the sound list did not open"
}

# "(no sound)", the third entry of the sound list of the launcher at X Y.
choose_no_sound() {  # X Y
  open_popup_at $(($1 + 128 + 48)) $(($2 + 242 + 10))
  local px py pw ph
  read -r px py pw ph <<<"$(geometry "$popup")"
  input mousemove $((px + pw / 2)) $((py + ph * 5 / 6)) click 1
}

window_named() {  # the visible window of the program with this exact title
  xdotool search --all --onlyvisible --pid "$app_pid" --name "^$1\$" 2>/dev/null | head -n1
}

# With "(no sound)" stored, PLAY and then the lid, on a 1024x768 screen:
# the handheld stands open at 280,98; sets handheld.
play_and_open() {
  local launcher lx ly
  wait_for_launcher "$app_pid"
  click_play "$lx" "$ly"
  handheld=""
  placed_at() {
    handheld=$(window_named 'Cantiere \(Ludoria\) Simulator')
    [[ -n $handheld ]] && [[ $(geometry "$handheld") == "$1 "* ]]
  }
  wait_for 5 placed_at "280 369" || die "PLAY did not place the handheld"
  click_lid 280 369 464 300
  input mousemove 5 5
  wait_for 5 placed_at "280 98" || die "the lid did not open"
}

# True once a process has ended (or is a zombie its parent has not reaped).
process_ended() { ! kill -0 "$1" 2>/dev/null || [[ $(ps -o stat= -p "$1") == Z* ]]; }
app_ended() { process_ended "$app_pid"; }

# Ends a process of the test's own (the program, a window manager, a
# server): TERM (or SIGNAL), then KILL if it has not gone within 5 s. A window manager may never end on
# TERM: fluxbox calls Xlib from its signal handler and deadlocks when the
# signal finds it inside Xlib (3 to 15 stops in 40 here).
stop_process() {  # PID [SIGNAL]
  kill -s "${2:-TERM}" "$1" 2>/dev/null || return 0
  wait_for 5 process_ended "$1" || kill -KILL "$1" 2>/dev/null
  wait "$1" 2>/dev/null
}

# Esc, the menu's Exit: the program ends, with status 0.
esc_exits() {
  input key Escape
  wait_for 5 app_ended || die "Esc did not end the program"
  wait "$app_pid"
  local status=$?
  app_pid=""
  ((status == 0)) || fail "the program ended with status $status"
}
