#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, only those missing.
set -euo pipefail
packages=(
  g++ cmake ninja-build pkg-config
  qt6-base-dev libqt6opengl6-dev qt6-charts-dev qt6-svg-dev libqt6svg6
  libsqlite3-dev sqlite3 libpoppler-qt6-dev poppler-utils faketime
  libgtest-dev libgmock-dev googletest libbenchmark-dev
  procps tzdata fonts-dejavu-core fonts-inter dbus xvfb xauth xdotool imagemagick
  desktop-file-utils appstream
)
missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  SUDO=""
  if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -qq
  $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
