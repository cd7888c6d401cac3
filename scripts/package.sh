#!/usr/bin/env bash
# Installs what is missing, builds, and makes the Debian package
# build/korvane_<version>_<arch>.deb: the program, its menu entry, icon,
# metainfo and manual page. Install it with  sudo apt install ./build/korvane_*.deb
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
scripts/build.sh
rm -f build/korvane_*.deb
(cd build && cpack -G DEB >cpack.log 2>&1) || { cat build/cpack.log >&2; exit 1; }
deb=$(ls build/korvane_*.deb)
echo "wrote $deb; install it with:  sudo apt install ./$deb"
