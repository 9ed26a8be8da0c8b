#!/usr/bin/env bash
# Builds Glimsel and starts the saver in its test window on the bundled pictures; a left
# click in the window ends it. Without a usable display it runs the saver on a virtual
# one (Xvfb) for a few seconds instead and saves a screenshot.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DGLIMSEL_TESTS=OFF >/dev/null
cmake --build build

# A settings folder of its own, with no picture folder chosen: the bundled database shows.
export XDG_CONFIG_HOME="$PWD/build/run-config"
mkdir -p "$XDG_CONFIG_HOME/Norvane"
[ -f build/Glimsel.idb ] || echo "Note: build/Glimsel.idb is missing; the saver shows the working folder's pictures."

if [ -n "${DISPLAY:-}" ] && xdotool getdisplaygeometry >/dev/null 2>&1; then
  echo "Starting the saver in a test window; a left click in it ends it."
  exec ./build/glimsel /t
fi

echo "No usable display (DISPLAY=${DISPLAY:-unset}): running the saver on a virtual display for 5 seconds."
work=$(mktemp -d)
trap 'kill "${saver:-}" "${server:-}" 2>/dev/null || true; rm -rf "$work"' EXIT
Xvfb -displayfd 3 -screen 0 800x600x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
server=$!
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
[ -s "$work/display" ] || { echo "Xvfb did not start" >&2; exit 1; }
export DISPLAY=":$(head -n1 "$work/display")"
# Faster than the default, so that five seconds show a few dozen pictures.
export XDG_CONFIG_HOME="$work/config"
mkdir -p "$XDG_CONFIG_HOME/Norvane"
printf '[Config]\nSpeed=90\n' >"$XDG_CONFIG_HOME/Norvane/glimsel.ini"
./build/glimsel /t &
saver=$!
sleep 5
shot="$PWD/build/glimsel-screenshot.png"
import -window root "$shot"
echo "Screenshot of the saver after 5 seconds: $shot"
