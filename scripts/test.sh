#!/usr/bin/env bash
# Builds Glimsel and runs every test twice: once in a normal build, once built with
# AddressSanitizer and UndefinedBehaviorSanitizer (any finding fails the run); then runs
# each fuzz target briefly (FUZZ_SECONDS, 20 by default). Every stage sets the options it
# needs, whatever an earlier configuration of its folder left there, and a stage that
# finds no tests fails.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh

jobs=$(nproc)

echo "== Build and test =="
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DGLIMSEL_TESTS=ON \
  -DGLIMSEL_SANITIZE=OFF -DGLIMSEL_FUZZ=OFF >/dev/null
cmake --build build
(cd build && ctest --output-on-failure --no-tests=error -j"$jobs")

echo "== Build and test with AddressSanitizer and UndefinedBehaviorSanitizer =="
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DGLIMSEL_TESTS=ON \
  -DGLIMSEL_SANITIZE=ON -DGLIMSEL_FUZZ=OFF >/dev/null
cmake --build build-asan
(cd build-asan &&
  ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  ctest --output-on-failure --no-tests=error -j"$jobs")

echo "== Fuzz each reader briefly (libFuzzer, AddressSanitizer, UndefinedBehaviorSanitizer) =="
CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DGLIMSEL_FUZZ=ON -DGLIMSEL_TESTS=OFF -DGLIMSEL_SANITIZE=OFF >/dev/null
# Targets with a seed program of their own add its pictures to the kept corpus.
seeded=(bmp gif jpeg png arrayfile)
targets=("${seeded[@]}" settings cmdline folder)
build_targets=()
for t in "${targets[@]}"; do build_targets+=("fuzz_$t"); done
for t in "${seeded[@]}"; do build_targets+=("fuzz_${t}_corpus"); done
cmake --build build-fuzz --target "${build_targets[@]}"
for t in "${targets[@]}"; do
  log="build-fuzz/fuzz_$t.log"
  # A copy of the kept corpus: this stage leaves the tree as it is.
  work="build-fuzz/test-corpus/$t"
  rm -rf "$work"
  mkdir -p "$work"
  [ -d "fuzz/corpus/$t" ] && cp -r "fuzz/corpus/$t/." "$work/"
  [ -d "build-fuzz/fuzz/$t-corpus" ] && cp -r "build-fuzz/fuzz/$t-corpus/." "$work/"
  if ! (cd build-fuzz && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
        "fuzz/fuzz_$t" -max_total_time="${FUZZ_SECONDS:-20}" -timeout=10 -rss_limit_mb=2048 \
        -print_final_stats=1 -artifact_prefix="fuzz-$t-" "test-corpus/$t" >"../$log" 2>&1); then
    echo "fuzz_$t found a problem:"
    tail -n 40 "$log"
    exit 1
  fi
  echo "fuzz_$t: $(grep -m1 -o 'stat::number_of_executed_units: [0-9]*' "$log" | cut -d' ' -f2) runs, no findings"
done

echo "== Windows: cross-build Glimsel.scr, run the tests under Wine =="
scripts/test-windows.sh
