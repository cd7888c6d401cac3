#!/usr/bin/env bash
# The long power-cut run: every action runs on a disk model that knows what
# was flushed, and every disk a power cut could leave at any point of it is
# restarted and checked (see tests/reliability/power_cut_test.cpp), with
# SEEDS torn cuts per point instead of the test suite's 4.
#
#   scripts/power-test.sh [SEEDS] [SEED]      (defaults: 200, 20261208)
#
# Builds in build-rel/ (Release with debug info). A failing cut names its
# point, variant and seed: KORVANE_POWER_SEED=<seed> KORVANE_POWER_SEEDS=1
# with the same build replays it. The files live in /dev/shm when there is
# one: the model, not the disk, decides what a flush keeps.
set -euo pipefail
cd "$(dirname "$0")/.."
seeds="${1:-200}"
seed="${2:-20261208}"
if [ ! -f build-rel/build.ninja ]; then
  cmake -S . -B build-rel -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
fi
cmake --build build-rel --target korvane_reliability_tests
KORVANE_POWER_SEEDS="$seeds" KORVANE_POWER_SEED="$seed" \
  build-rel/tests/reliability/korvane_reliability_tests --gtest_filter='*PowerCut*'
