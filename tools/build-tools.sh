#!/usr/bin/env bash
# Builds the given targets in Release into build-tools/ (or BUILD_DIR): the
# program, its Debian package, the benchmarks, the kill test, the X11 probe
# and the stand-in service share this one build folder, so the program they
# measure and check is the one that is packaged.
#
#   tools/build-tools.sh TARGET...
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$top/build-tools}

cmake -S "$top" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DAURALIS_BUILD_APP=ON -DAURALIS_BUILD_TESTS=OFF -DAURALIS_BUILD_STANDIN=ON \
    -DAURALIS_BUILD_BENCHMARKS=ON -DAURALIS_BUILD_TOOLS=ON >/dev/null
ninja -C "$build" -j2 "$@"
