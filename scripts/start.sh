#!/usr/bin/env bash
# Sets everything up and starts the handheld.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build.sh
if [[ -x build/cantiere ]]; then
  exec build/cantiere "$@"
fi
# Without the desktop program: play the demo through the headless driver.
exec build/cantiere-sim --trace tests/scripts/demo.sim
