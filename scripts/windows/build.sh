#!/usr/bin/env bash
# Builds the Windows program and its installer on Debian 12 (run as root):
# installs what is needed, cross-builds the image libraries once (cached in
# /opt/auralis-mingw-deps), configures with the "windows" preset (the
# MinGW-w64 toolchain) into
# build-win/ (or BUILD_DIR) and builds the program, the font probe and the
# installer build-win/Auralis-<version>-Setup.exe; the build checks the
# program's imports and resources first (scripts/windows/verify-exe.py).
# With a code-signing certificate in the environment (AURALIS_SIGN_PKCS12,
# AURALIS_SIGN_PASSWORD, see scripts/windows/sign.sh) the installed program,
# the uninstaller and the installer are signed; without one they are built
# unsigned, and the build says so in one line. The installer is made afresh
# on every run, so that it is signed (or not) as this run's environment says.
# Extra arguments go to cmake's configure step.
set -euo pipefail
top=$(cd "$(dirname "$0")/../.." && pwd)
build=${BUILD_DIR:-$top/build-win}
deps=${AURALIS_MINGW_DEPS:-/opt/auralis-mingw-deps}

"$top/scripts/setup.sh" windows
"$top/scripts/windows/build-deps.sh" "$deps"

(cd "$top" && cmake --preset windows -B "$build" -DAURALIS_MINGW_DEPS="$deps" "$@" >/dev/null)
. "$build/windows-build.env"
rm -f "$AURALIS_INSTALLER"
cmake --build "$build" -j "${AURALIS_JOBS:-2}"

echo "build: program $AURALIS_PROGRAM"
echo "build: installer $AURALIS_INSTALLER"
