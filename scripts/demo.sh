#!/usr/bin/env bash
# Installs what is missing, builds, lays out the demo prefix in demo/prefix
# (drive C: with C:\data_aco\QX_aco.mdb, QX_Std.mdb, an empty Backup\ and an
# external database in External\Lab7\), and opens Korvane on it. The user's
# own ~/.wine is never touched. The demo data is laid out afresh on each run.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
scripts/build.sh

prefix="$PWD/demo/prefix"
scripts/make-prefix.sh "$prefix" build

program="$PWD/build/src/app/korvane"
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "Demo data is ready; no display here: open the window with  WINEPREFIX=$prefix $program  (or under xvfb-run)."
  exit 0
fi
echo "Opening Korvane on the demo prefix $prefix"
WINEPREFIX="$prefix" exec "$program"
