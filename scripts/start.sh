#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Sets everything up and starts the handheld.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build.sh
# The desktop program shows on an X display (X11 itself, or the XWayland of
# a Wayland desktop, which sets DISPLAY too) or, without XWayland, on the
# Wayland desktop itself.
if [[ -x build/cantiere && (-n ${DISPLAY:-} || -n ${WAYLAND_DISPLAY:-}) ]]; then
  exec build/cantiere "$@"
fi
# Without it, or with nowhere to show it: play the demo through the
# headless driver.
if [[ -z ${DISPLAY:-} && -z ${WAYLAND_DISPLAY:-} ]]; then
  echo "start.sh: no display (neither DISPLAY nor WAYLAND_DISPLAY is set): playing the demo headless instead" >&2
else
  echo "start.sh: the desktop program was not built: playing the demo headless instead" >&2
fi
exec build/cantiere-sim --trace tests/scripts/demo.sim
