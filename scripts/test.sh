#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Sets everything up and runs every test headless; non-zero on any failure.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build.sh

# The model, the settings store and the driver once more under
# AddressSanitizer and UndefinedBehaviorSanitizer.
cmake -S . -B build-sanitize -DCMAKE_BUILD_TYPE=Debug -DCANTIERE_SANITIZE=ON \
  -DCANTIERE_MODEL_ONLY=ON >/dev/null
cmake --build build-sanitize -j"$(nproc)"
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --test-dir build-sanitize --output-on-failure -j"$(nproc)"

# The Debian package, installed, run and purged on a fresh Debian 12 root.
bash scripts/test-package.sh

export QT_QPA_PLATFORM=offscreen
ctest --test-dir build --output-on-failure -j"$(nproc)"
