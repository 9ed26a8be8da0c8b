#!/usr/bin/env bash
# The Windows program: cross-builds Glimsel.scr and its tests with mingw-w64 (into
# build-win), runs the core's unit tests under Wine, then the window tests in real
# windows under Wine on a virtual X server. One Wine prefix serves the whole run.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
build="$root/build-win"

scripts/windows-deps.sh "$build"

work=$(mktemp -d)
cleanup() {
  if [ -n "${WINEPREFIX:-}" ]; then wineserver -k >/dev/null 2>&1 || true; fi
  if [ -n "${server:-}" ]; then kill "$server" 2>/dev/null || true; fi
  rm -rf "$work"
}
trap cleanup EXIT

# The virtual screen that Wine's windows open on.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
server=$!
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
[ -s "$work/display" ] || { echo "Xvfb did not start" >&2; exit 1; }
export DISPLAY=":$(head -n1 "$work/display")"

# A fresh prefix for this run, without the Mono and Gecko prompts; the server stays up
# between the programs, so each start is quick.
export WINEPREFIX="$work/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree=;mshtml=" WINEARCH=win64
mkdir -p "$WINEPREFIX"
wineserver -p </dev/null >/dev/null 2>&1
wineboot -i >/dev/null 2>&1

cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" -DGLIMSEL_WINDOWS_DEPS="$build/deps/prefix" >/dev/null
cmake --build "$build"

# Glimsel.scr is one file: it may import nothing but the system's own DLLs.
imports=$(x86_64-w64-mingw32-objdump -p "$build/Glimsel.scr" | sed -n 's/^\s*DLL Name: //p' | tr 'A-Z' 'a-z' | sort -u)
for dll in $imports; do
  case "$dll" in
    kernel32.dll|user32.dll|gdi32.dll|advapi32.dll|shell32.dll|ole32.dll|msvcrt.dll|version.dll|comctl32.dll) ;;
    *) echo "Glimsel.scr imports $dll, which Windows does not bring" >&2; exit 1 ;;
  esac
done
echo "Glimsel.scr imports only system DLLs: $(echo $imports)"

(cd "$build" && ctest --output-on-failure -j"$(nproc)" -LE wine)
(cd "$build" && ctest --output-on-failure -L wine)
wineserver -k >/dev/null 2>&1 || true
wineserver -w
