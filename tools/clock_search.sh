#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The long form of ctest's seeded clock search: random presses, releases and
# keys around the end of a game, through the driver, checking that no game
# element is ever lit while the clock runs.
#
#   tools/clock_search.sh [BUILD_DIR] [SEEDS] [RUNS_PER_SEED]
#
# Defaults: build, seeds 1..10, 20000 runs each (some 4 s a seed).
set -euo pipefail
build=${1:-build}
seeds=${2:-10}
runs=${3:-20000}
test=$build/tests/sim/sim_test
[[ -x $test ]] || { echo "clock_search: build $test first" >&2; exit 1; }
for ((seed = 1; seed <= seeds; seed++)); do
  CLOCK_SEARCH_SEED=$seed CLOCK_SEARCH_RUNS=$runs \
    "$test" --gtest_filter='ClockSearch.*' --gtest_brief=1 >/tmp/clock_search.$$ 2>&1 || {
    cat /tmp/clock_search.$$
    rm -f /tmp/clock_search.$$
    echo "clock_search: seed $seed failed" >&2
    exit 1
  }
  echo "seed $seed: $runs runs, no game element lit in the clock"
done
rm -f /tmp/clock_search.$$
