#!/usr/bin/env bash
# Fuzzes one target for as long as asked, for example: scripts/fuzz.sh gif 3600
#
# The corpus that the fuzzer grows lives in the tree, in fuzz/corpus/TARGET: after the
# run it is merged down to the smallest set of inputs that covers everything the run
# reached. Every input that crashes, hangs or runs out of memory is kept in
# fuzz/regressions/TARGET, where the unit tests replay it. Not part of scripts/test.sh,
# which fuzzes each target for a few seconds only.
set -euo pipefail
cd "$(dirname "$0")/.."

usage() {
  echo "usage: scripts/fuzz.sh TARGET SECONDS" >&2
  echo "targets: $(ls fuzz/fuzz_*.cpp | sed 's|fuzz/fuzz_||; s|\.cpp||' | tr '\n' ' ')" >&2
  exit 2
}
[ $# -eq 2 ] || usage
target=$1
seconds=$2
[[ "$target" =~ ^[a-z0-9_]+$ && -f "fuzz/fuzz_$target.cpp" ]] || usage
[[ "$seconds" =~ ^[0-9]+$ ]] || usage

# Inputs longer than this are cut: small inputs keep the fuzzer fast and the corpus small.
case "$target" in
  bmp|gif|jpeg) max_len=8192 ;;
  *) max_len=4096 ;;
esac

CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DGLIMSEL_FUZZ=ON -DGLIMSEL_TESTS=OFF >/dev/null
build_targets=("fuzz_$target")
seeds=""
# Some targets make their first seeds with a program of their own.
known=$(cmake --build build-fuzz --target help)
if grep -q "^fuzz_${target}_corpus:" <<<"$known"; then
  build_targets+=("fuzz_${target}_corpus")
  seeds="build-fuzz/fuzz/$target-corpus"
fi
cmake --build build-fuzz --target "${build_targets[@]}"

corpus="fuzz/corpus/$target"
crashes="fuzz/regressions/$target"
work="build-fuzz/fuzz-work/$target"
log="build-fuzz/fuzz_$target.log"
mkdir -p "$corpus" "$crashes" "$work"
fuzzer="build-fuzz/fuzz/fuzz_$target"
export ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

status=0
started=$SECONDS
"$fuzzer" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len="$max_len" \
  -print_final_stats=1 -artifact_prefix="$crashes/" "$work" "$corpus" $seeds >"$log" 2>&1 || status=$?
elapsed=$((SECONDS - started))
runs=$(grep -o 'stat::number_of_executed_units: [0-9]*' "$log" | tail -n1 | cut -d' ' -f2)

# The tree's corpus becomes the smallest set that covers what the old corpus, the seeds
# and the new inputs cover.
merged="build-fuzz/fuzz-merged/$target"
rm -rf "$merged"
mkdir -p "$merged"
"$fuzzer" -merge=1 -timeout=10 -rss_limit_mb=2048 -max_len="$max_len" "$merged" "$corpus" "$work" $seeds \
  >"build-fuzz/fuzz_${target}_merge.log" 2>&1
rm -rf "$corpus"
mv "$merged" "$corpus"
rm -rf "$work"

echo "fuzz_$target: ${runs:-0} runs in $elapsed s; corpus $(ls "$corpus" | wc -l) files," \
  "$(du -sk "$corpus" | cut -f1) KB"
if [ "$status" -ne 0 ]; then
  echo "fuzz_$target found a problem; the input is kept in $crashes:" >&2
  grep -m1 -A30 'ERROR\|==ERROR\|deadly signal\|timeout\|out-of-memory' "$log" >&2 || tail -n 40 "$log" >&2
  exit 1
fi
