#!/usr/bin/env bash
# Installs every Debian package Tervex needs to build, test and benchmark.
# Quiet and idempotent: packages already present are not fetched again.
set -euo pipefail

packages=(
    g++ gcc-multilib binutils cmake ninja-build make pkg-config
    libunicorn-dev libsdl2-dev libx11-dev libfreeimage-dev libgtest-dev libgmock-dev libbenchmark-dev
    libfreetype-dev libfontconfig-dev fonts-liberation fonts-dejavu-core libsdl2-ttf-dev
    libopenal-dev libsndfile1-dev libopenmpt-dev libfluidsynth-dev timgm6mb-soundfont libsdl2-mixer-dev
    libenet-dev xvfb
    clang-format python3
)

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"
echo "Installing: ${missing[*]}"
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
