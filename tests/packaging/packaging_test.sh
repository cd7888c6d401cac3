#!/usr/bin/env bash
# packaging_test.sh CHECK
# One check of Korvane as a lab administrator installs it, on the build in
# $KORVANE_BUILD (already built: nothing here compiles):
#   layout    `cmake --install` into a DESTDIR puts each file where the GNU and
#             freedesktop conventions want it, and the files name each other
#   desktop   desktop-file-validate accepts the menu entry
#   metainfo  appstreamcli accepts the metainfo, alone and in the installed tree
#   deb       the .deb holds the same files, with maintainer, section,
#             description and a Depends: line that names Qt, SQLite,
#             libmdb (which the Jet import helper reads Jet files with) and
#             libseccomp (which builds the helper's system call filter)
#   lintian   lintian finds no error and no warning in the .deb
#   starts    the program from the unpacked .deb opens its window on a demo
#             prefix under the offscreen platform and quits cleanly when the
#             window is closed, leaving the prefix as it was
#   reads_jet the program from the unpacked .deb updates a system database
#             that is a real Jet file: it finds its import helper where the
#             package put it, and the helper runs on the package's Depends
# A missing tool skips the check (exit 77) and says which package brings it.
# Environment: KORVANE_BUILD, KORVANE_APP_ID, KORVANE_VERSION, KORVANE_CMAKE
# and KORVANE_CPACK (the build's own), and for `starts` and `reads_jet`
# KORVANE_MAKE_PREFIX and KORVANE_WINDOW_CLOSER (a plugin folder).
set -euo pipefail
check=$1
build=$KORVANE_BUILD
app_id=$KORVANE_APP_ID

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
# needs TOOL DEBIAN_PACKAGE: skips the check when TOOL is missing.
needs() {
  command -v "$1" >/dev/null && return 0
  echo "SKIP: $1 is not installed (Debian package $2; scripts/deps.sh installs it)" >&2
  exit 77
}

# Every file a package of Korvane holds, relative to the root.
expected_files() {
  printf '%s\n' \
    usr/bin/korvane \
    usr/libexec/korvane/korvane-jet-import \
    "usr/share/applications/$app_id.desktop" \
    usr/share/doc/korvane/changelog.gz \
    usr/share/doc/korvane/copyright \
    "usr/share/icons/hicolor/scalable/apps/$app_id.svg" \
    usr/share/man/man1/korvane.1.gz \
    "usr/share/metainfo/$app_id.metainfo.xml" | LC_ALL=C sort
}

# Installs the build into $work/root as a package would (prefix /usr).
install_tree() {
  DESTDIR="$work/root" "$KORVANE_CMAKE" --install "$build" --prefix /usr >/dev/null
}

# Builds the .deb into $work/deb and prints its path.
build_deb() {
  needs dpkg-shlibdeps dpkg-dev
  needs file file
  "$KORVANE_CPACK" -G DEB --config "$build/CPackConfig.cmake" -B "$work/deb" >"$work/cpack.log" 2>&1 \
    || { cat "$work/cpack.log" >&2; fail "cpack could not make the package"; }
  local debs=("$work/deb/"*.deb)
  [ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || fail "cpack made no single .deb"
  echo "${debs[0]}"
}

desktop_key() { sed -n "s/^$1=//p" "$2" | head -n1; }

check_layout() {
  install_tree
  diff -u <(expected_files) <(cd "$work/root" && find . -type f -printf '%P\n' | LC_ALL=C sort) \
    || fail "the installed files differ from the expected layout (- expected, + installed)"
  local root=$work/root
  [ -x "$root/usr/bin/korvane" ] || fail "usr/bin/korvane is not executable"
  [ -x "$root/usr/libexec/korvane/korvane-jet-import" ] \
    || fail "usr/libexec/korvane/korvane-jet-import is not executable"
  for gz in "$root/usr/share/man/man1/korvane.1.gz" "$root/usr/share/doc/korvane/changelog.gz"; do
    gzip -t "$gz" || fail "${gz#"$root"/} is not gzip"
  done
  # The files name each other: the entry starts the installed program and
  # shows the installed icon; the metainfo launches the entry.
  local entry="$root/usr/share/applications/$app_id.desktop"
  local exec_line
  exec_line=$(desktop_key Exec "$entry")
  [ "$exec_line" = korvane ] || fail "Exec is '$exec_line', not the bare program (it takes no arguments)"
  [ "$(desktop_key Icon "$entry")" = "$app_id" ] || fail "Icon does not name $app_id"
  local metainfo="$root/usr/share/metainfo/$app_id.metainfo.xml"
  grep -q "<id>$app_id</id>" "$metainfo" || fail "the metainfo's id is not $app_id"
  grep -q "<launchable type=\"desktop-id\">$app_id.desktop</launchable>" "$metainfo" \
    || fail "the metainfo does not launch $app_id.desktop"
  echo "layout: $(expected_files | wc -l) files where the conventions put them"
}

check_desktop() {
  needs desktop-file-validate desktop-file-utils
  install_tree
  local entry="$work/root/usr/share/applications/$app_id.desktop"
  local report
  report=$(desktop-file-validate "$entry" 2>&1) || { echo "$report"; fail "desktop-file-validate failed"; }
  # Hints are advice; the one given is that Science and Utility are both main
  # categories, which the entry asks for on purpose (a lab tool, a utility).
  echo "${report:-desktop-file-validate: no remarks}"
  if grep -E ': (error|warning):' <<<"$report"; then fail "desktop-file-validate has remarks"; fi
  echo "desktop entry: valid"
}

check_metainfo() {
  needs appstreamcli appstream
  install_tree
  appstreamcli validate --no-net "$work/root/usr/share/metainfo/$app_id.metainfo.xml" \
    || fail "appstreamcli validate failed"
  # The tree: the entry the metainfo launches and its icon are installed too.
  appstreamcli validate-tree --no-net "$work/root" || fail "appstreamcli validate-tree failed"
}

check_deb() {
  local deb info
  deb=$(build_deb)
  info=$(dpkg-deb --info "$deb")
  echo "$info"
  field() { sed -n "s/^ $1: //p" <<<"$info"; }
  [ "$(field Package)" = korvane ] || fail "Package is not korvane"
  [ "$(field Version)" = "$KORVANE_VERSION" ] || fail "Version is not $KORVANE_VERSION"
  [ "$(basename "$deb")" = "korvane_${KORVANE_VERSION}_$(dpkg --print-architecture).deb" ] \
    || fail "the file is named $(basename "$deb")"
  for key in Maintainer Section Description; do
    [ -n "$(field "$key")" ] || fail "no $key field"
  done
  local depends
  depends=$(field Depends)
  for library in libqt6core6 libqt6gui6 libqt6widgets6 libqt6svg6 libsqlite3-0 libmdb3 libseccomp2; do
    grep -qE "(^|, )$library( |,|$)" <<<"$depends" || fail "Depends does not name $library: $depends"
  done
  diff -u <(expected_files) \
    <(dpkg-deb --contents "$deb" | awk '$1 !~ /^d/ {print $6}' | sed 's|^\./||' | LC_ALL=C sort) \
    || fail "the package's files differ from the expected layout (- expected, + packaged)"
  echo "deb: $(basename "$deb") holds the expected files and depends on Qt, SQLite, libmdb and libseccomp"
}

check_lintian() {
  needs lintian lintian
  local deb
  deb=$(build_deb)
  # Info tags shown for the record, and why they stay:
  #   spelling-error-in-binary: the window's texts keep the lab's wording,
  #     misspellings included ("succesfully", "compatability");
  #   hardening-no-bindnow, hardening-no-fortify-functions: the build uses the
  #     project's compiler flags, not dpkg-buildflags;
  #   binary-has-unneeded-section: CPack's strip keeps the .comment section.
  local report status=0
  report=$(lintian --fail-on error,warning --display-level ">=info" "$deb" 2>&1) || status=$?
  grep -v '^running with root privileges' <<<"$report" || true
  [ "$status" -eq 0 ] || fail "lintian reports errors or warnings"
  echo "lintian: no errors, no warnings"
}

# run_packaged PREFIX [VARIABLE=VALUE...]: the unpacked package's program on
# PREFIX under the offscreen platform, with the window closer loaded (and the
# environment given); its output goes to $work/out, and it must quit cleanly
# when the window is closed.
run_packaged() {
  local prefix=$1
  shift
  mkdir -p "$work/home" "$work/runtime" && chmod 700 "$work/runtime"
  local status=0
  env -u DISPLAY -u WAYLAND_DISPLAY \
    HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" XDG_RUNTIME_DIR="$work/runtime" \
    WINEPREFIX="$prefix" QT_QPA_PLATFORM=offscreen \
    QT_PLUGIN_PATH="$KORVANE_WINDOW_CLOSER" QT_QPA_GENERIC_PLUGINS=korvane-window-closer \
    "$@" timeout 60 "$work/root/usr/bin/korvane" >"$work/out" 2>"$work/err" || status=$?
  cat "$work/out"
  [ "$status" -ne 124 ] || { cat "$work/err" >&2; fail "the program did not quit after its window was closed"; }
  [ "$status" -eq 0 ] || { cat "$work/err" >&2; fail "the program exited with status $status"; }
  grep -qE '^window: .+' "$work/out" || fail "no window was shown"
}

check_starts() {
  local deb
  deb=$(build_deb)
  dpkg-deb -x "$deb" "$work/root"
  local prefix="$work/prefix"
  "$KORVANE_MAKE_PREFIX" "$prefix" "$build" >/dev/null
  local before
  before=$(cd "$prefix" && find . -type f -exec sha256sum {} + | LC_ALL=C sort)

  run_packaged "$prefix"
  grep -qx "application id: $app_id" "$work/out" || fail "the program does not name itself $app_id"
  for size in 16 32 64; do
    grep -qx "icon $size: drawn" "$work/out" || fail "the window has no icon at $size px"
  done
  local after
  after=$(cd "$prefix" && find . -type f -exec sha256sum {} + | LC_ALL=C sort)
  [ "$before" = "$after" ] || fail "closing the window changed the prefix's files"
  echo "starts: the packaged program opened its window and quit cleanly when it was closed"
}

check_reads_jet() {
  local prefix="$work/prefix"
  "$KORVANE_MAKE_PREFIX" "$prefix" "$build" >/dev/null
  local jet="$prefix/drive_c/data_aco/External/Jet4/QX_aco.mdb"
  [ -f "$jet" ] || fail "no real Jet file in the demo prefix (tests/fixtures/jet is missing)"
  local deb
  deb=$(build_deb)
  dpkg-deb -x "$deb" "$work/root"
  # The system database is the real Jet file; Update reads it through the
  # helper, and the window then offers the clean-ups. Without the helper
  # Update stops at once and the start-up text stays.
  cp "$jet" "$prefix/drive_c/data_aco/QX_aco.mdb"
  mkdir "$work/tmp"
  run_packaged "$prefix" TMPDIR="$work/tmp" KORVANE_WINDOW_CLOSER_PRESS=cmdbutton_9
  grep -qx "pressed: cmdbutton_9" "$work/out" || fail "Update was not pressed"
  grep -q "^instructions: .*has been succesfully updated" "$work/out" \
    || { cat "$work/err" >&2; fail "Update of a real Jet file did not run to its end"; }
  [ -n "$(find "$prefix/drive_c/data_aco/Backup" -name '*_update.mdb')" ] \
    || fail "Update left no working copy"
  [ -z "$(ls -A "$work/tmp")" ] || fail "the Jet file's copy was left in the temporary folder"
  echo "reads_jet: the packaged program updated a real Jet file through its installed helper"
}

case "$check" in
  layout | desktop | metainfo | deb | lintian | starts | reads_jet) "check_$check" ;;
  *) fail "unknown check $check" ;;
esac
