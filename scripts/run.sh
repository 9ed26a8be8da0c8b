#!/usr/bin/env bash
# Builds Glimsel and runs its main job.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DGLIMSEL_TESTS=OFF >/dev/null
cmake --build build
echo "The foundation library is built; the saver follows in later steps."
