#!/usr/bin/env bash
# Installs, through apt, whatever Korvane's build, tests and demo need and this
# machine lacks. Quick and silent when everything is already there.
set -euo pipefail

packages=(
  g++ cmake ninja-build pkg-config
  libsqlite3-dev sqlite3 mdbtools-dev zlib1g-dev
  libseccomp-dev
  libgtest-dev
  qt6-base-dev qt6-svg-dev fonts-dejavu-core
  xvfb xdotool x11-utils
  # installing and packaging, and their checks
  dpkg-dev file desktop-file-utils appstream lintian
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
