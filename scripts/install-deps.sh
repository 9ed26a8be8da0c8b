#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing Glimsel need.
# Does nothing when they are all present.
set -euo pipefail

packages=(
  cmake ninja-build g++ clang libclang-rt-dev pkg-config
  libgtest-dev
  libjpeg62-turbo-dev libpng-dev
  libx11-dev libxext-dev libxrandr-dev libglib2.0-dev libgtk-3-dev
  xvfb xauth xfonts-base fonts-dejavu-core xdotool x11-apps imagemagick
  xscreensaver
  libgif-dev libpixman-1-dev
  libstb-dev
  python3-pil python3-numpy
  g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 mingw-w64-x86-64-dev
  nasm wine wine64 dpkg-dev debian-archive-keyring
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
