#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test through CTest: first
# the normal build (build/), then the same suite built with AddressSanitizer
# and UndefinedBehaviorSanitizer (build-asan/). CTest's summary lines are
# repeated last, after any list of skipped tests, the sanitizer run's last of
# all, so the verdict is the last thing printed; the script fails if either
# run fails.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
scripts/build.sh

status=0
summaries=()
# Runs CTest in build folder $1 with $2 jobs, keeping its summary line.
run_ctest() {
  local log="$1/ctest.log"
  ctest --test-dir "$1" --output-on-failure -j"$2" 2>&1 | tee "$log" || status=$?
  summaries+=("$(grep -E '^[0-9]+% tests passed' "$log" | tail -n 1 || true)")
}

run_ctest build 2

if [ ! -f build-asan/build.ninja ]; then
  cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKORVANE_SANITIZE=ON >/dev/null
fi
cmake --build build-asan
# Leaks in system libraries the window loads are not ours to fix. One test at
# a time: the window tests wait for dialogs, and the sanitizers slow them down.
LSAN_OPTIONS="suppressions=$PWD/tests/reliability/lsan-suppressions.txt" run_ctest build-asan 1

for summary in "${summaries[@]}"; do
  [ -n "$summary" ] && echo "$summary"
done
exit "$status"
