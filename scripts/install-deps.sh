#!/usr/bin/env bash
# Installs the Debian 12 packages the build, the program and the tests need.
# Idempotent: only missing packages are fetched, from Debian's own archive.
set -euo pipefail

PKGS=(
  build-essential cmake ninja-build ccache pkg-config
  qt6-base-dev qt6-base-dev-tools libqt6sql6-sqlite libqt6sql6-psql
  qt6-charts-dev libqt6opengl6-dev libxkbcommon-dev libgl-dev
  libxlsxwriter-dev libkainjow-mustache-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  postgresql postgresql-client
  fonts-wqy-microhei xdg-utils unzip
)

missing=()
for p in "${PKGS[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if ((${#missing[@]})); then
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -qq
  $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
