#!/usr/bin/env bash
# window_e2e.sh KORVANE MAKE_PREFIX BUILD_DIR
# Starts the real program in a real X server (Xvfb) on a fresh prefix, clicks
# Update and then Close with synthetic mouse clicks at the buttons' places,
# and checks that the run reached the disk: the system database replaced,
# the backup an exact copy of the old one, the working copy gone. (What the
# updated database holds is the workflow tests' to check.)
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

mkdir -m 700 "$work/xdg"
XDG_RUNTIME_DIR="$work/xdg" WINEPREFIX="$prefix" "$korvane" &
app_pid=$!

wid=$(timeout 20 xdotool search --sync --onlyvisible --name "Update system database" | head -n1) \
  || fail "the window did not appear"
xdotool windowfocus --sync "$wid" || true

# Button centres in client pixels (twips / 15): Update at 6315,870 (2340 x 420),
# Close at 6330,2370 (2355 x 450).
click() { xdotool mousemove --window "$wid" "$1" "$2" click 1; }
click 499 72

backup=""
for _ in $(seq 200); do
  backup=$(ls "$data/Backup/"QX_aco_*_update.mdb 2>/dev/null | head -n1 || true)
  [ -n "$backup" ] && break
  sleep 0.1
done
[ -n "$backup" ] || fail "Update wrote no working copy"

# Close is shown only once Update has finished: press where it will be until
# the program ends.
for _ in $(seq 60); do
  kill -0 "$app_pid" 2>/dev/null || break
  click 500 173
  sleep 0.5
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
echo "window end-to-end: Update and Close through real clicks passed"
