#!/usr/bin/env bash
# Builds the given targets (all without any) with the "tools" preset
# (Release) into build-tools/ (or BUILD_DIR): the program, its Debian
# package, the benchmarks, the kill test, the X11 probe and the stand-in
# service share this one build folder, so the program they measure and check
# is the one that is packaged.
#
#   tools/build-tools.sh TARGET...
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$top/build-tools}

(cd "$top" && cmake --preset tools -B "$build" >/dev/null)
cmake --build "$build" -j 2 ${1:+--target "$@"}
