#!/usr/bin/env bash
# Installs every Debian 12 package Velmaris needs to build, run and test.
# Idempotent: when all packages are present it returns without touching apt.
set -euo pipefail

PACKAGES=(
  build-essential cmake pkg-config
  libsdl2-dev libsdl2-ttf-dev libsdl2-image-dev libfreetype-dev
  libcairo2-dev libpango1.0-dev libmxml-dev libsimpleini-dev libutfcpp-dev
  libboost-filesystem-dev libboost-thread-dev libboost-chrono-dev libboost-system-dev
  valgrind
  libgtest-dev libbenchmark-dev
  xvfb xauth x11-utils xdotool imagemagick
  ttf-bitstream-vera fonts-dejavu-core
)

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "Installing: ${missing[*]}"
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
