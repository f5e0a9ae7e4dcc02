#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Proves the package on a fresh Debian 12: makes it, builds a minimal root
# with debootstrap from this machine's own Debian mirror, installs the
# package there with apt-get (which has to pull in every library), runs both
# programs from it, then purges it and checks that nothing of it is left.
# Needs root and the mirror; everything it makes is removed at exit, but for
# build-deb/fresh-root-launcher.png, a screenshot to look at.
# shellcheck disable=SC2016  # dpkg-query's ${Field} formats are its own
set -euo pipefail
cd "$(dirname "$0")/.."

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

# The part that mounts, run by the part below in a mount namespace of its
# own: nothing mounted here is seen outside, and it all goes when it ends.
in_namespace() {
  local work=$1 mirror=$2 deb=$3 display=$4 host_sim=$5
  local root=$work/root t=$SECONDS
  debootstrap --variant=minbase bookworm "$root" "$mirror" >"$work/debootstrap.log" 2>&1 ||
    { tail -n 20 "$work/debootstrap.log" >&2; fail "debootstrap"; }
  echo "debootstrap --variant=minbase bookworm: $((SECONDS - t)) s"
  mount -t proc proc "$root/proc"
  mount --rbind /dev "$root/dev"
  cp /etc/resolv.conf "$root/etc/resolv.conf"
  cp "$work/$deb" "$root/tmp/"
  mkdir -p "$root/tmp/home" "$root/tmp/run"
  chmod 700 "$root/tmp/run"
  # A clean environment, as a user's; root's PATH on Debian lacks /usr/games.
  local enter=(chroot "$root" env -i PATH=/usr/local/bin:/usr/bin:/bin:/usr/sbin:/sbin:/usr/games
    HOME=/tmp/home XDG_RUNTIME_DIR=/tmp/run LANG=C.UTF-8 DEBIAN_FRONTEND=noninteractive)
  in_root() { "${enter[@]}" "$@"; }

  # Install: only the package's Depends, so that they alone are proved to
  # be enough (apt adds its Recommends on a usual system).
  t=$SECONDS
  local before
  before=$(in_root dpkg-query -W -f='${Package}\n' | wc -l)
  in_root apt-get update -qq >"$work/apt.log" 2>&1 || { cat "$work/apt.log" >&2; fail "apt-get update"; }
  in_root apt-get install -y -qq --no-install-recommends "/tmp/$deb" >"$work/apt.log" 2>&1 ||
    { tail -n 30 "$work/apt.log" >&2; fail "apt-get install ./$deb"; }
  echo "apt-get install ./$deb: $(($(in_root dpkg-query -W -f='${Package}\n' | wc -l) - before)) packages, $((SECONDS - t)) s"
  local files
  files=$(in_root dpkg -L cantiere)

  # One version everywhere.
  local version
  version=$(in_root dpkg-query -W -f='${Version}' cantiere)
  [[ $(in_root cantiere --version) == "cantiere $version" ]] ||
    fail "cantiere --version says '$(in_root cantiere --version)', the package $version"
  [[ $(in_root cantiere-sim --version) == "cantiere-sim $version" ]] || fail "cantiere-sim --version"

  # The driver installed plays the demo as the one in the build tree does.
  in_root cantiere-sim --trace /usr/share/doc/cantiere/examples/demo.sim >"$work/installed.trace" ||
    fail "cantiere-sim --trace on the demo"
  "$host_sim" --trace tests/scripts/demo.sim >"$work/built.trace"
  if [[ ! -s $work/installed.trace ]] || ! cmp -s "$work/installed.trace" "$work/built.trace"; then
    fail "the installed driver's trace of the demo differs from the build's"
  fi
  echo "cantiere-sim --trace demo.sim: $(wc -l <"$work/installed.trace") lines, as built"

  # On a Wayland desktop without XWayland it runs on Qt's Wayland platform,
  # which the package brings: with no compositor to reach, it says so.
  local wayland
  # It ends with a failure status, which is not this script's failure.
  wayland=$("${enter[@]}" WAYLAND_DISPLAY=/nonexistent cantiere 2>&1 </dev/null) || true
  [[ $wayland == *"Wayland platform cannot reach the compositor"* ]] ||
    fail "without XWayland cantiere says: $wayland"

  # The desktop program, started as the menu starts it, up to its launcher,
  # working in its installed data folder.
  # Started straight from this shell: chroot and env exec, so $! is its pid.
  "${enter[@]}" DISPLAY="$display" QT_QPA_PLATFORM=xcb cantiere >"$work/cantiere.log" 2>&1 &
  local pid=$! launcher="" waited
  for waited in $(seq 150); do
    launcher=$(DISPLAY=$display xdotool search --all --onlyvisible --pid "$pid" \
      --name '^About Cantiere\.\.\.$' 2>/dev/null | head -n1) || true
    [[ -n $launcher ]] && break
    sleep 0.1
  done
  [[ -n $launcher ]] || { cat "$work/cantiere.log" >&2; fail "no launcher on screen"; }
  echo "cantiere: launcher on screen after about $((waited / 10)).$((waited % 10)) s"
  [[ $(readlink "/proc/$pid/cwd") == "$root/usr/share/games/cantiere" ]] ||
    fail "cantiere works in $(readlink "/proc/$pid/cwd"), not its data folder"
  # The launcher shows without SDL: it is loaded at PLAY, from what the
  # package's dependencies installed.
  # Read whole first: grep -q leaves at its first match, and under pipefail
  # the SIGPIPE ldconfig may then get would read as a missing library.
  local soname libraries
  libraries=$(in_root ldconfig -p)
  for soname in libSDL2-2.0.so.0 libSDL2_mixer-2.0.so.0; do
    grep -q "^[[:space:]]*$soname " <<<"$libraries" || fail "$soname not installed with it"
  done
  sleep 0.5
  import -display "$display" -window root build-deb/fresh-root-launcher.png || true
  kill "$pid"
  wait "$pid" 2>/dev/null || true

  # Purge, then look for anything left.
  in_root apt-get remove --purge -y -qq cantiere >"$work/apt.log" 2>&1 ||
    { tail -n 30 "$work/apt.log" >&2; fail "apt-get remove --purge cantiere"; }
  ! in_root dpkg-query -W cantiere >/dev/null 2>&1 || fail "dpkg still knows cantiere"
  local path left=0
  while IFS= read -r path; do
    [[ $path != /. && -e $root$path ]] || continue
    # Shared folders such as /usr/share/man stay for their other owners.
    [[ -d $root$path ]] && in_root dpkg -S "$path" >/dev/null 2>&1 && continue
    echo "left behind: $path" >&2
    left=1
  done <<<"$files"
  # The user's settings under /tmp/home are the user's, not the package's.
  local strays
  strays=$(find "$root" \( -path "$root/proc" -o -path "$root/dev" -o -path "$root/tmp" \) -prune \
    -o -iname '*cantiere*' -print)
  [[ -z $strays ]] || { echo "left behind: $strays" >&2; left=1; }
  ((left == 0)) || fail "apt-get remove --purge left files behind"
  echo "apt-get remove --purge cantiere: nothing left"
}

if [[ ${1:-} == --in-namespace ]]; then
  shift
  in_namespace "$@"
  exit
fi

started=$SECONDS
deb=$(bash scripts/package.sh | tail -n1)
[[ -f $deb ]] || fail "scripts/package.sh made no package"
echo "scripts/package.sh: $deb, $((SECONDS - started)) s"

# The mirror apt uses here for bookworm, from either style of sources file.
mirror=$(awk '
  /^URIs:/ { uris = $2 }
  /^Suites:/ { for (i = 2; i <= NF; i++) if ($i == "bookworm") print uris }
  /^deb / {
    i = 2
    if ($2 ~ /^\[/) { while ($i !~ /\]$/) i++; i++ }
    if ($(i + 1) == "bookworm") print $i
  }' /etc/apt/sources.list /etc/apt/sources.list.d/*.list /etc/apt/sources.list.d/*.sources \
  2>/dev/null | head -n1) || true
mirror=${mirror:-http://deb.debian.org/debian}

work=$(mktemp -d)
xvfb_pid=""
cleanup() {
  [[ -n $xvfb_pid ]] && kill "$xvfb_pid" 2>/dev/null
  wait 2>/dev/null
  # The root's mounts lived in the namespace, which has ended: removing it
  # cannot reach into this machine's /dev or /proc.
  rm -rf "$work"
}
trap cleanup EXIT

# An X server outside the root; the program in the root reaches it through
# its abstract socket, as any local client does. It never resets: a client
# that comes and goes (another test's, on a busy machine) would otherwise
# turn the program away while it resets.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>"$work/display" \
  >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
for _ in $(seq 100); do
  [[ -s $work/display ]] && break
  sleep 0.1
done
[[ -s $work/display ]] || fail "Xvfb did not start"

cp "$deb" "$work/"
unshare --mount --propagation private bash "$0" --in-namespace "$work" "$mirror" "$deb" \
  ":$(head -n1 "$work/display")" "$PWD/build-deb/cantiere-sim"
echo "fresh-root test passed in $((SECONDS - started)) s"
