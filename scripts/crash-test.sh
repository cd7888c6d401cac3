#!/usr/bin/env bash
# The long crash test: a child program runs Update then Close on a copy of a
# prefix and is killed with SIGKILL at a random moment, TRIALS times; after
# each kill the system database and the backup are checked (see
# tests/reliability/crash_test.cpp). The test suite runs a short version.
#
#   scripts/crash-test.sh [TRIALS] [SEED]      (defaults: 300, 20261208)
#
# Builds in build-rel/ (Release with debug info); a failing trial names its
# kill delay, and the same SEED replays the same delays.
set -euo pipefail
cd "$(dirname "$0")/.."
trials="${1:-300}"
seed="${2:-20261208}"
if [ ! -f build-rel/build.ninja ]; then
  cmake -S . -B build-rel -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
fi
cmake --build build-rel --target korvane_reliability_tests korvane_crash_child
KORVANE_CRASH_TRIALS="$trials" KORVANE_CRASH_SEED="$seed" \
  build-rel/tests/reliability/korvane_reliability_tests --gtest_filter='CrashTest.*'
