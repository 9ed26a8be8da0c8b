#!/usr/bin/env bash
# Builds the Debian package of Glimsel (installs under /usr, where the X screen-saver
# daemon finds its savers) and prints its path. Install it with
#   sudo apt install ./build-package/glimsel_*.deb
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build-package -G Ninja -DCMAKE_BUILD_TYPE=Release -DGLIMSEL_TESTS=OFF \
  -DCMAKE_INSTALL_PREFIX=/usr >/dev/null
cmake --build build-package
(cd build-package && cpack -G DEB >/dev/null)
ls "$PWD"/build-package/glimsel_*.deb
