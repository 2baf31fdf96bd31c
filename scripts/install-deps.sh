#!/usr/bin/env bash
# Installs every Debian package Sheetwise needs to build, test, benchmark and run its demo.
# Idempotent: only packages that are missing are installed. Works as root; uses sudo otherwise.
set -euo pipefail

packages=(
  # build
  build-essential cmake ninja-build pkg-config clang libclang-rt-14-dev
  # libraries
  qt6-base-dev qt6-base-dev-tools qt6-httpserver-dev qt6-websockets-dev libqt6svg6
  libtiff-dev libgl-dev libvulkan-dev libqpdf-dev libcups2-dev
  # tests and benchmarks
  libgtest-dev libgmock-dev googletest libbenchmark-dev
  libtiff-tools poppler-utils libvips-tools
  # printing through CUPS in the tests
  cups cups-client cups-bsd printer-driver-cups-pdf
  # windows without a display, fonts for offscreen rendering
  xvfb xauth fonts-dejavu-core
  # desktop integration
  desktop-file-utils xdg-utils
  # browser test of the plan-room page
  chromium
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  echo "install-deps: everything is installed"
  exit 0
fi

echo "install-deps: installing ${missing[*]}"
run() { if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi; }
export DEBIAN_FRONTEND=noninteractive
run apt-get update -qq
run apt-get install -y -qq --no-install-recommends "${missing[@]}"
