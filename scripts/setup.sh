#!/usr/bin/env bash
# Installs what Kelvane needs (Debian 12 packages) when missing, then
# configures and builds into build/. Called by run.sh and test.sh. (clang,
# its sanitizer runtimes and llvm-symbolizer serve the sanitizer and fuzz stages;
# appstream, lintian, man-db and bsdextrautils check the installed tree and the package;
# openbox, dbus, at-spi2-core, XTest and xdotool serve the acceptance roads and the
# desktop session for walking the editor by hand.)
set -euo pipefail
cd "$(dirname "$0")/.."

PACKAGES=(
  cmake ninja-build g++ pkg-config git python3 qt6-svg-dev
  libobs-dev obs-studio qt6-base-dev libx11-dev libxtst-dev zlib1g-dev
  libcurl4-openssl-dev liblodepng-dev libjsoncpp-dev
  libgtest-dev libgmock-dev libbenchmark-dev libpugixml-dev
  xvfb xauth libgl1-mesa-dri libegl-mesa0 ffmpeg locales
  clang-14 libclang-rt-14-dev llvm-14
  desktop-file-utils shared-mime-info dpkg-dev zlib1g-dev liblcms2-dev imagemagick
  appstream lintian man-db bsdextrautils
  openbox dbus at-spi2-core gsettings-desktop-schemas libatspi2.0-dev libxtst-dev x11-utils xdotool
)

missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  SUDO=""
  [ "$(id -u)" -eq 0 ] || SUDO="sudo"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

BUILD_DIR=${KELVANE_BUILD_DIR:-build}
cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=${CMAKE_BUILD_TYPE:-RelWithDebInfo} >/dev/null
cmake --build "$BUILD_DIR" -j "$(nproc)"
