#!/usr/bin/env bash
# Builds a libFuzzer target with clang (address and undefined-behaviour
# sanitizers) and runs it for a number of seconds (default 60), starting from
# the committed seeds. Targets: bank (the bank loader), reply (a service
# reply through parsing and the merge into the bank), submission (the
# submission number of an image id), picture (a picture from the network
# through its header reader and the capped decode, under a memory limit of
# 512 MB: a later libFuzzer option wins). New inputs are kept in the build
# folder's corpus; a finding is written there as crash-*, timeout-* or oom-*.
#
#   tools/fuzz/run-fuzzer.sh <bank|reply|submission|picture> [seconds] [extra libFuzzer options...]
set -euo pipefail
top=$(cd "$(dirname "$0")/../.." && pwd)
build=${FUZZ_BUILD_DIR:-$top/build/fuzz}
target=${1:?usage: run-fuzzer.sh <bank|reply|submission|picture> [seconds] [libFuzzer options...]}
seconds=${2:-60}
shift $(( $# < 2 ? $# : 2 ))

options=()
case "$target" in
    bank) options=(-max_len=8192) ;;
    reply) options=(-max_len=16384 -dict="$top/tools/fuzz/reply.dict") ;;
    submission) options=(-max_len=256) ;;
    picture) options=(-max_len=65536 -rss_limit_mb=512 -dict="$top/tools/fuzz/picture.dict") ;;
    *) echo "unknown fuzz target: $target (bank, reply, submission or picture)" >&2; exit 2 ;;
esac

(cd "$top" && cmake --preset fuzz -B "$build" >/dev/null)
cmake --build "$build" -j 2 --target "auralis_fuzz_$target"

corpus="$build/corpus/$target"
findings="$build/findings/$target"
mkdir -p "$corpus" "$findings"

exec "$build/tools/fuzz/auralis_fuzz_$target" \
    -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
    -artifact_prefix="$findings/" -print_final_stats=1 \
    "${options[@]}" "$@" "$corpus" "$top/tools/fuzz/corpus/$target"
