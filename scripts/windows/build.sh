#!/usr/bin/env bash
# Builds the Windows program and its installer on Debian 12 (run as root):
# installs what is needed, cross-builds the image libraries once (cached in
# /opt/auralis-mingw-deps), configures with the "windows" preset (the
# MinGW-w64 toolchain) into
# build-win/ (or BUILD_DIR) and builds the program, the font probe and the
# installer build-win/Auralis-<version>-Setup.exe; the build checks the
# program's imports and resources first (scripts/windows/verify-exe.py).
# Extra arguments go to cmake's configure step.
set -euo pipefail
top=$(cd "$(dirname "$0")/../.." && pwd)
build=${BUILD_DIR:-$top/build-win}
deps=${AURALIS_MINGW_DEPS:-/opt/auralis-mingw-deps}

"$top/scripts/setup.sh" windows
"$top/scripts/windows/build-deps.sh" "$deps"

(cd "$top" && cmake --preset windows -B "$build" -DAURALIS_MINGW_DEPS="$deps" "$@" >/dev/null)
cmake --build "$build" -j "${AURALIS_JOBS:-2}"

. "$build/windows-build.env"
echo "build: program $AURALIS_PROGRAM"
echo "build: installer $AURALIS_INSTALLER"
