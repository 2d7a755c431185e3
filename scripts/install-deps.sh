#!/usr/bin/env bash
# Installs the Debian packages Stickwell needs to build, run and test.
# Only packages that are missing are installed; nothing is fetched from elsewhere.
set -euo pipefail
PKGS=(
  build-essential cmake pkg-config ninja-build ccache
  qt6-base-dev qt6-base-dev-tools libqt6svg6-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  clang-14 libclang-rt-14-dev
  fonts-liberation fonts-symbola fonts-dejavu-core
  xvfb xdotool x11-utils imagemagick poppler-utils xauth
  libdbd-xbase-perl python3-dbf python3-dbfread
  libwmf-dev
)
missing=()
for p in "${PKGS[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update
  $SUDO apt-get install -y --no-install-recommends "${missing[@]}"
fi
