#!/usr/bin/env bash
# Builds the Windows program and its installer, checks their signing with a
# throwaway certificate (scripts/windows/check-signing.sh, which leaves the
# build signed with it), builds the stand-in service for this machine, then
# checks the program under Wine against it, the installed program's and
# uninstaller's signatures included: the one command for all of it (run as
# root on Debian 12).
#   STANDIN_BUILD_DIR  the native build folder for the stand-in (default
#                      build/, the folder scripts/build.sh and scripts/test.sh
#                      use; only the stand-in's target is built here)
set -euo pipefail
top=$(cd "$(dirname "$0")/../.." && pwd)
build=${BUILD_DIR:-$top/build-win}
standin_build=${STANDIN_BUILD_DIR:-$top/build}

"$top/scripts/windows/build.sh"

signing_status=0
BUILD_DIR="$build" "$top/scripts/windows/check-signing.sh" || signing_status=$?

if [ ! -f "$standin_build/CMakeCache.txt" ]; then
    (cd "$top" && cmake --preset debug -B "$standin_build" -DCMAKE_BUILD_TYPE="${BUILD_TYPE:-Debug}" >/dev/null)
fi
cmake --build "$standin_build" --target auralis-standin -j "${AURALIS_JOBS:-2}" | tail -n 1

wine_status=0
BUILD_DIR="$build" AURALIS_SIGNING_CA="$build/signing-check/ca.pem" \
    AURALIS_STANDIN="$standin_build/tools/standin/auralis-standin" \
    "$top/scripts/windows/check-under-wine.sh" || wine_status=$?

[ "$signing_status" -eq 0 ] && [ "$wine_status" -eq 0 ]
