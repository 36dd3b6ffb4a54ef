#!/usr/bin/env bash
# Builds the bank-loading fuzzer with clang (address and undefined-behaviour
# sanitizers) and runs it for a number of seconds (default 60), starting
# from the committed seeds. New inputs are kept in the build folder's corpus;
# a finding is written there as crash-*, timeout-* or oom-*.
#
#   tools/fuzz/run-fuzzer.sh [seconds] [extra libFuzzer options...]
set -euo pipefail
top=$(cd "$(dirname "$0")/../.." && pwd)
build=${FUZZ_BUILD_DIR:-$top/build/fuzz}
seconds=${1:-60}
shift || true

cmake -S "$top" -B "$build" -G Ninja \
    -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DAURALIS_BUILD_FUZZERS=ON -DAURALIS_BUILD_APP=OFF -DAURALIS_BUILD_TESTS=OFF \
    -DAURALIS_BUILD_STANDIN=OFF -DAURALIS_BUILD_BENCHMARKS=OFF >/dev/null
ninja -C "$build" -j2 auralis_fuzz_bank

corpus="$build/corpus/bank"
findings="$build/findings"
mkdir -p "$corpus" "$findings"

exec "$build/tools/fuzz/auralis_fuzz_bank" \
    -max_total_time="$seconds" -max_len=8192 -timeout=10 -rss_limit_mb=2048 \
    -artifact_prefix="$findings/" -print_final_stats=1 \
    "$@" "$corpus" "$top/tools/fuzz/corpus/bank"
