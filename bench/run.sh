#!/usr/bin/env bash
# Builds korvane-bench in build-perf/ (Release) and runs it; arguments go to
# the benchmark, e.g.  bench/run.sh --scales 10000,100000 --reps 3
# Default: both variants of the files (indexed: the keys and indexes the
# sample scripts declare; no-index: none at all), each at 10k, 100k and 1M
# measurements, 5 repetitions each, in a fresh folder under $TMPDIR (or
# /tmp) that is removed afterwards. One variant alone: --variants no-index.
# The 1M scale needs about 3 GB free there; the default run takes about
# twenty minutes on a quiet machine.
#
# -Wno-error=restrict: GCC 12 at -O3 reports a false -Wrestrict inside
# libstdc++'s string concatenation (GCC bug 105329); it stays a warning.
set -euo pipefail
cd "$(dirname "$0")/.."
if [ ! -f build-perf/build.ninja ]; then
  cmake -S . -B build-perf -G Ninja -DCMAKE_BUILD_TYPE=Release -DKORVANE_BUILD_UI=OFF \
    -DCMAKE_CXX_FLAGS=-Wno-error=restrict >/dev/null
fi
cmake --build build-perf --target korvane-bench korvane-gen
exec build-perf/bench/korvane-bench "$@"
