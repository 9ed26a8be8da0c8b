#!/usr/bin/env bash
# Cross-builds the libraries that the Windows program and its tests link with, from
# Debian's own source packages (libjpeg-turbo, zlib, libpng) and from the GoogleTest
# sources that libgtest-dev ships, into <build folder>/deps/prefix. A finished build
# leaves a stamp, so later runs skip it.
#
#   scripts/windows-deps.sh build-win
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
build=$(realpath -m "${1:-build-win}")
deps="$build/deps"
prefix="$deps/prefix"
stamp="$prefix/.complete-1"
[ -f "$stamp" ] && exit 0

toolchain="$root/cmake/mingw-w64-x86_64.cmake"
mkdir -p "$deps/src" "$prefix"
jobs=$(nproc)

# The source packages of the release this machine runs, fetched through a private apt
# configuration: a temporary deb-src list and package lists of its own, removed again
# afterwards, so the machine's own apt setup never changes.
fetch_sources() {
  local codename uri apt_dir
  codename=$(. /etc/os-release && echo "$VERSION_CODENAME")
  uri=$(grep -h -m1 -oE 'https?://[^ ]*/debian/?$' /etc/apt/sources.list.d/*.sources /etc/apt/sources.list 2>/dev/null | head -n1 || true)
  uri=${uri:-http://deb.debian.org/debian}
  apt_dir=$(mktemp -d)
  trap 'rm -rf "$apt_dir"' RETURN
  mkdir -p "$apt_dir/lists/partial" "$apt_dir/cache/archives/partial"
  local keyring=/usr/share/keyrings/debian-archive-keyring.gpg
  {
    echo "deb-src [signed-by=$keyring] $uri $codename main"
    echo "deb-src [signed-by=$keyring] $uri $codename-updates main"
  } >"$apt_dir/sources.list"
  local opts=(-o "Dir::Etc::SourceList=$apt_dir/sources.list" -o Dir::Etc::SourceParts=/nonexistent
              -o "Dir::State::Lists=$apt_dir/lists" -o "Dir::Cache=$apt_dir/cache"
              -o APT::Sandbox::User=root -qq)
  apt-get "${opts[@]}" update
  (cd "$deps/src" && apt-get "${opts[@]}" source "$@")
}

need=()
for p in libjpeg-turbo zlib libpng1.6; do
  ls -d "$deps/src/$p"-*/ >/dev/null 2>&1 || need+=("$p")
done
[ ${#need[@]} -eq 0 ] || fetch_sources "${need[@]}"
src_of() { ls -d "$deps/src/$1"-*/ | head -n1; }

configure() {  # name source-folder cmake-arguments...
  local name=$1 src=$2
  shift 2
  echo "Cross-building $name for Windows"
  cmake -S "$src" -B "$deps/build/$name" -G Ninja -DCMAKE_BUILD_TYPE=Release -Wno-dev \
    -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_INSTALL_PREFIX="$prefix" \
    -DCMAKE_FIND_ROOT_PATH="$prefix;/usr/x86_64-w64-mingw32" "$@" >"$deps/$name.log"
}
cross_build() {  # name source-folder cmake-arguments...
  configure "$@"
  cmake --build "$deps/build/$1" -j"$jobs" >>"$deps/$1.log"
  cmake --install "$deps/build/$1" >>"$deps/$1.log"
}

cross_build libjpeg-turbo "$(src_of libjpeg-turbo)" -DENABLE_SHARED=OFF -DENABLE_STATIC=ON \
  -DWITH_TURBOJPEG=OFF -DWITH_JPEG8=OFF -DCMAKE_ASM_NASM_COMPILER=nasm
# Debian's zlib source leaves out the DLL's resource script: only the static library
# is built, and installed by hand.
configure zlib "$(src_of zlib)"
cmake --build "$deps/build/zlib" -j"$jobs" --target zlibstatic >>"$deps/zlib.log"
mkdir -p "$prefix/include" "$prefix/lib"
cp "$(src_of zlib)/zlib.h" "$deps/build/zlib/zconf.h" "$prefix/include/"
cp "$deps/build/zlib/libzlibstatic.a" "$prefix/lib/libz.a"
cross_build libpng "$(src_of libpng1.6)" -DPNG_SHARED=OFF -DPNG_STATIC=ON -DPNG_TESTS=OFF \
  -DPNG_EXECUTABLES=OFF -DZLIB_LIBRARY="$prefix/lib/libz.a" -DZLIB_INCLUDE_DIR="$prefix/include"
cross_build googletest /usr/src/googletest -DBUILD_GMOCK=OFF -Dgtest_disable_pthreads=OFF

touch "$stamp"
