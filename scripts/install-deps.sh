#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the Debian 12 packages that building, running and testing need.
# Safe to run repeatedly: it only calls apt-get when something is missing.
set -euo pipefail

packages=(
  build-essential cmake pkg-config ccache
  libgtest-dev libgmock-dev libbenchmark-dev
  qt6-base-dev qt6-base-dev-tools libqt6opengl6-dev
  libsdl2-dev libsdl2-mixer-dev
  libjpeg62-turbo-dev libturbojpeg0-dev libpng-dev
  libx11-dev libxext-dev libxtst-dev
  fonts-liberation python3-numpy
  xvfb xdotool x11-utils imagemagick
  debootstrap lintian appstream desktop-file-utils man-db
  # the desktops the end-to-end tests run the program on, and the sound
  # server its recorded-sound test plays through
  openbox xfwm4 dbus-daemon weston xwayland
  mutter kwin-x11 icewm sway i3-wm fluxbox x11-xserver-utils
  # Qt's Wayland platform, for a Wayland desktop without XWayland
  qt6-wayland
  pulseaudio pulseaudio-utils
  # the kill tests stop the programs at the settings lock
  strace
  # the web page: its compiler, node for its tests, a browser to drive
  emscripten nodejs chromium chromium-driver python3-selenium
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if ((${#missing[@]})); then
  echo "installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
