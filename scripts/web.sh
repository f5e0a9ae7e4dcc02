#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the handheld as a web page into build-web/site (static files that
# any web host can serve) and serves it on this machine, printing its
# address. --build-only builds and stops (the tests' way); --port N serves
# on another port.
set -euo pipefail
cd "$(dirname "$0")/.."
build_only=0
port=8080
while (($#)); do
  case "$1" in
    --build-only) build_only=1 ;;
    --port) port="$2"; shift ;;
    *) echo "usage: $0 [--build-only] [--port N]" >&2; exit 2 ;;
  esac
  shift
done

if ! command -v emcmake >/dev/null; then
  echo "web.sh: emscripten is not installed (apt-get install emscripten)" >&2
  exit 77
fi
# Debian's emscripten finds its node modules here.
export NODE_PATH="${NODE_PATH:-/usr/share/nodejs}"
launcher=()
if command -v ccache >/dev/null; then
  export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=1
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
if [[ ! -f build-web/CMakeCache.txt ]]; then
  emcmake cmake -S web -B build-web -DCMAKE_BUILD_TYPE=Release "${launcher[@]}" >/dev/null
fi
cmake --build build-web -j2
if ((build_only)); then
  echo "web.sh: the site is in build-web/site"
  exit 0
fi
echo "Cantiere: http://localhost:${port}/ (Ctrl+C stops the server)"
exec python3 -m http.server "$port" --bind 127.0.0.1 --directory build-web/site
