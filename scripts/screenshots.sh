#!/usr/bin/env bash
# Takes the README's screenshots in a real X server (Xvfb): the window after
# start-up (docs/window-startup.png) and after an Update (docs/window-updated.png),
# on a fresh demo prefix. Installs ImageMagick for the capture if it is missing.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
if ! command -v import >/dev/null || ! import -version >/dev/null 2>&1; then
  sudo=""; [ "$(id -u)" -ne 0 ] && sudo="sudo"
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq imagemagick >/dev/null
fi
scripts/build.sh

work=$(mktemp -d)
pids=()
cleanup() { for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done; rm -rf "$work"; }
trap cleanup EXIT

scripts/make-prefix.sh "$work/prefix" build
exec 3<> "$work/display"
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
pids+=($!)
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=":$(head -n1 "$work/display")"
mkdir -m 700 "$work/xdg"
XDG_RUNTIME_DIR="$work/xdg" WINEPREFIX="$work/prefix" build/src/app/korvane &
pids+=($!)

wid=$(timeout 20 xdotool search --sync --onlyvisible --name "Update system database" | head -n1)
sleep 1
import -window "$wid" docs/window-startup.png
xdotool mousemove --window "$wid" 499 72 click 1
for _ in $(seq 200); do
  ls "$work/prefix/drive_c/data_aco/Backup/"*_update.mdb >/dev/null 2>&1 && break
  sleep 0.1
done
sleep 1
import -window "$wid" docs/window-updated.png
echo "wrote docs/window-startup.png and docs/window-updated.png"
