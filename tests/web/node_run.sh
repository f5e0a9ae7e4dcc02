#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs a program built to WebAssembly (build-web/) under node; skipped (77)
# where the web build cannot be made here.
set -euo pipefail
js="$1"
shift
if ! command -v node >/dev/null || [[ ! -f "$js" ]]; then
  echo "SKIPPED: $js is not built (scripts/web.sh needs emscripten and node)"
  exit 77
fi
exec node --no-experimental-fetch "$js" "$@"
