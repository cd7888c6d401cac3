#!/usr/bin/env bash
# window_e2e.sh KORVANE MAKE_PREFIX BUILD_DIR
# Starts the real program in a real X server (Xvfb) on a fresh prefix, opens
# the file dialog and cancels it, chooses the system database again, clicks
# Update and then Close with synthetic mouse clicks at the controls' places,
# and checks that the run reached the disk: the system database replaced,
# the backup an exact copy of the old one, the working copy gone, and nothing
# written into the fresh home and configuration folders it ran with. (What
# the updated database holds is the workflow tests' to check.) It sets every
# variable it depends on, whatever the caller's environment.
set -euo pipefail
korvane=$1
make_prefix=$2
build=$3

work=$(mktemp -d)
xvfb_pid=""
app_pid=""
cleanup() {
  [ -n "$app_pid" ] && kill "$app_pid" 2>/dev/null || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

prefix="$work/prefix"
"$make_prefix" "$prefix" "$build"
data="$prefix/drive_c/data_aco"
cp "$data/QX_aco.mdb" "$work/old.mdb"

# A display of our own; Xvfb writes its number once it is ready.
exec 3<> "$work/display"
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
for _ in $(seq 100); do
  [ -s "$work/display" ] && break
  sleep 0.1
done
[ -s "$work/display" ] || fail "Xvfb did not start"
export DISPLAY=":$(head -n1 "$work/display")"

mkdir -m 700 "$work/xdg" "$work/home" "$work/config"
# The program on this X server, with a home and settings folder of its own.
export QT_QPA_PLATFORM=xcb XDG_RUNTIME_DIR="$work/xdg" HOME="$work/home" \
  XDG_CONFIG_HOME="$work/config" WINEPREFIX="$prefix"
unset XDG_CACHE_HOME XDG_DATA_HOME QT_QPA_PLATFORMTHEME
"$korvane" &
app_pid=$!

wid=$(timeout 20 xdotool search --sync --onlyvisible --name "Update system database" | head -n1) \
  || fail "the window did not appear"
xdotool windowfocus --sync "$wid" || true

# Centres in client pixels (twips / 15): the options inside Frame1 (at
# 6330,45) at 120,75 and 120,405 (2355 x 300); Update at 6315,870
# (2340 x 420); Close at 6330,2370 (2355 x 450).
click() { xdotool mousemove --window "$wid" "$1" "$2" click 1; }

# "Select an external db" opens the file dialog; Esc cancels it.
click 508 40
did=$(timeout 20 xdotool search --sync --onlyvisible --name "Select external database file" | head -n1) \
  || fail "the file dialog did not appear"
# The key goes to the window with the focus, as a real key press would.
xdotool windowfocus --sync "$did" || true
xdotool key Escape
for _ in $(seq 100); do
  xdotool search --onlyvisible --name "Select external database file" >/dev/null 2>&1 || break
  sleep 0.1
done
xdotool search --onlyvisible --name "Select external database file" >/dev/null 2>&1 \
  && fail "the file dialog did not close"
click 508 18
timeout 20 xdotool search --sync --onlyvisible --name "Update system database" >/dev/null \
  || fail "the system database was not chosen again"
click 499 72

backup=""
for _ in $(seq 200); do
  backup=$(ls "$data/Backup/"QX_aco_*_update.mdb 2>/dev/null | head -n1 || true)
  [ -n "$backup" ] && break
  sleep 0.1
done
[ -n "$backup" ] || fail "Update wrote no working copy"

# Close is shown only once Update has finished: press where it will be until
# the window is gone. The program may take a moment longer to end (a
# sanitizer build checks for leaks on its way out).
for _ in $(seq 60); do
  kill -0 "$app_pid" 2>/dev/null || break
  click 500 173 2>/dev/null || break
  sleep 0.5
done
for _ in $(seq 100); do
  kill -0 "$app_pid" 2>/dev/null || break
  sleep 0.1
done
if kill -0 "$app_pid" 2>/dev/null; then fail "the program did not end after Close"; fi
wait "$app_pid" || fail "the program exited with an error"
app_pid=""

working=$(ls "$data/Backup/"QX_aco_*_update.mdb 2>/dev/null || true)
[ -z "$working" ] || fail "the working copy is still there: $working"
backups=("$data/Backup/"QX_aco_*.mdb)
[ ${#backups[@]} -eq 1 ] || fail "expected one backup, found ${#backups[@]}"
cmp -s "${backups[0]}" "$work/old.mdb" || fail "the backup differs from the old system database"
cmp -s "$data/QX_aco.mdb" "$work/old.mdb" && fail "the system database was not replaced"
written=$(find "$work/home" "$work/config" -mindepth 1 | sed "s|^$work/||")
[ -z "$written" ] || fail "the run wrote outside its files: $written"
echo "window end-to-end: the dialog, Update and Close through real clicks passed"
