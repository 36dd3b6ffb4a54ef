#!/usr/bin/env bash
# Configures with the "debug" preset (CMakePresets.json) and builds into
# build/, or into the folder given as BUILD_DIR; BUILD_TYPE overrides the
# build type. Extra arguments go to cmake's configure step.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$top/build}
cd "$top"
cmake --preset debug -B "$build" -DCMAKE_BUILD_TYPE="${BUILD_TYPE:-Debug}" "$@" >/dev/null
cmake --build "$build" -j 2
