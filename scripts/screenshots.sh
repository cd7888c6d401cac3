#!/usr/bin/env bash
# Takes the README's screenshots in a real X server (Xvfb): the window after
# start-up (docs/window-startup.png) and after an Update (docs/window-updated.png),
# on a fresh demo prefix; the file dialog with the prefix's drives in its
# sidebar (docs/file-dialog-drives.png), on a prefix with a second drive D:;
# and the menu entry's icon at 16, 32 and 64 px (docs/icon-sizes.png), drawn
# by librsvg as desktop menus draw it. Installs ImageMagick and librsvg's
# converter for the pictures if they are missing.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
if ! command -v import >/dev/null || ! import -version >/dev/null 2>&1 \
  || ! command -v rsvg-convert >/dev/null; then
  sudo=""; [ "$(id -u)" -ne 0 ] && sudo="sudo"
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq imagemagick librsvg2-bin >/dev/null
fi
scripts/build.sh

work=$(mktemp -d)
pids=()
cleanup() { for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done; rm -rf "$work"; }
trap cleanup EXIT

exec 3<> "$work/display"
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
pids+=($!)
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=":$(head -n1 "$work/display")"
mkdir -m 700 "$work/xdg"

# Starts Korvane on prefix $1 and sets $wid to its window once it is shown.
start_korvane() {
  HOME="$work" XDG_RUNTIME_DIR="$work/xdg" WINEPREFIX="$1" build/src/app/korvane >/dev/null 2>&1 &
  pids+=($!)
  wid=$(timeout 20 xdotool search --sync --onlyvisible --name "Update system database" | head -n1)
}

scripts/make-prefix.sh "$work/prefix" build
start_korvane "$work/prefix"
sleep 1
import -window "$wid" docs/window-startup.png
xdotool mousemove --window "$wid" 499 72 click 1
for _ in $(seq 200); do
  ls "$work/prefix/drive_c/data_aco/Backup/"*_update.mdb >/dev/null 2>&1 && break
  sleep 0.1
done
sleep 1
import -window "$wid" docs/window-updated.png
kill "${pids[-1]}"
wait "${pids[-1]}" 2>/dev/null || true

# The file dialog, opened by "Select an external db", on a prefix whose drive
# D: is a lab share.
scripts/make-prefix.sh "$work/dialog-prefix" build
mkdir -p "$work/lab-share/Lab9"
cp "$work/dialog-prefix/drive_c/data_aco/QX_aco.mdb" "$work/lab-share/Lab9/"
ln -s "$work/lab-share" "$work/dialog-prefix/dosdevices/d:"
start_korvane "$work/dialog-prefix"
sleep 1
xdotool mousemove --window "$wid" 440 40 click 1
dialog=$(timeout 20 xdotool search --sync --onlyvisible --name "Select external database file" | head -n1)
sleep 1
import -window "$dialog" docs/file-dialog-drives.png
kill "${pids[-1]}"
wait "${pids[-1]}" 2>/dev/null || true

# The icon as menus show it: 16, 32 and 64 px beside the entry's name, on a
# light and on a dark menu.
icon=packaging/org.korvane.Korvane.svg
for size in 16 32 64; do
  rsvg-convert -w "$size" -h "$size" "$icon" -o "$work/icon-$size.png"
done
panels=()
for colours in "#f6f5f4 #202020" "#2e3436 #eeeeec"; do
  read -r background text <<<"$colours"
  rows=()
  for size in 16 32 64; do
    convert "$work/icon-$size.png" -background "$background" -gravity center \
      -extent $((size + 16))x$((size + 16)) \
      \( -background "$background" -fill "$text" -font DejaVu-Sans -pointsize $((size / 2 + 6)) \
         label:"Korvane  ($size px)  " \) +append "$work/row-$size.png"
    rows+=("$work/row-$size.png")
  done
  convert -background "$background" "${rows[@]}" -gravity west -append \
    -bordercolor "$background" -border 8 "$work/panel-${#panels[@]}.png"
  panels+=("$work/panel-${#panels[@]}.png")
done
convert "${panels[@]}" -gravity north +append docs/icon-sizes.png
echo "wrote docs/window-startup.png, docs/window-updated.png, docs/file-dialog-drives.png and docs/icon-sizes.png"
