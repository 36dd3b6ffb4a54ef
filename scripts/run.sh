#!/usr/bin/env bash
# Sets up the machine, builds the program and runs it. Without a DISPLAY it
# runs under Xvfb and saves a screenshot of the window every few seconds into
# out/screenshots/.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$top/build-release}

"$top/scripts/setup.sh"
BUILD_DIR="$build" BUILD_TYPE=Release "$top/scripts/build.sh"

app="$build/entry/Auralis_artefacts/Release/Auralis with VST Spherion"

if [ -n "${DISPLAY:-}" ]; then
    exec "$app"
fi

shots="$top/out/screenshots"
mkdir -p "$shots"
seconds=${AURALIS_RUN_SECONDS:-30}
echo "No DISPLAY: running under Xvfb for $seconds s; screenshots go to $shots"
xvfb-run -a -s "-noreset -screen 0 1280x1024x24" bash -c '
    "$4/scripts/x11-desktop-atoms.sh"
    "$1" & pid=$!
    for i in $(seq 1 $(( $3 / 3 ))); do
        sleep 3
        kill -0 $pid 2>/dev/null || break
        import -window root "$2/screen-$(printf %03d $i).png" 2>/dev/null || true
    done
    kill $pid 2>/dev/null || true
    wait $pid 2>/dev/null || true
' _ "$app" "$shots" "$seconds" "$top"
