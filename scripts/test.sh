#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test through CTest.
# CTest's summary line is repeated last, after any list of skipped tests, so
# the verdict is the last thing printed.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
scripts/build.sh

log=build/ctest.log
status=0
ctest --test-dir build --output-on-failure -j2 2>&1 | tee "$log" || status=$?
summary=$(grep -E '^[0-9]+% tests passed' "$log" | tail -n 1 || true)
[ -n "$summary" ] && echo "$summary"
exit "$status"
