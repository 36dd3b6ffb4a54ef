#!/usr/bin/env bash
# Sets up the machine, builds the program and the stand-in service, starts the
# stand-in in the background on https://127.0.0.1:8443 (the program's
# compiled-in service address) and runs the program against it; the stand-in
# stops when the program exits. The program trusts the stand-in's CA only
# inside a private mount namespace, where a copy of the system's CA bundle
# with that CA appended is bind-mounted over the original; the machine's own
# trust store is never changed. Without a DISPLAY it runs under Xvfb and saves
# a screenshot of the window every few seconds into out/screenshots/.
#
# The stand-in keeps its state in out/standin/ (AURALIS_STANDIN_STATE to use
# another folder) and logs to out/standin.log. Change its accounts, quotas and
# announced releases while it runs with
#   build-release/tools/standin/auralis-standin help
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$top/build-release}
app="$build/entry/Auralis_artefacts/Release/Auralis with VST Spherion"
standin="$build/tools/standin/auralis-standin"
state=${AURALIS_STANDIN_STATE:-$top/out/standin}

if [ "${AURALIS_IN_RUN_NAMESPACE:-}" != 1 ]; then
    "$top/scripts/preflight.sh" scripts/run.sh
    "$top/scripts/setup.sh"
    BUILD_DIR="$build" BUILD_TYPE=Release "$top/scripts/build.sh"

    # Creates the CA and server certificate on first use.
    ca=$("$standin" ca-path --state "$state")

    export AURALIS_IN_RUN_NAMESPACE=1 AURALIS_RUN_CA="$ca"
    exec unshare -m --propagation private "$0" "$@"
fi

bundle=/etc/ssl/certs/ca-certificates.crt
trust=$(mktemp -d /tmp/auralis-run.XXXXXX)
standin_pid=

stop_standin()
{
    if [ -n "$standin_pid" ]; then
        kill "$standin_pid" 2>/dev/null || true
        wait "$standin_pid" 2>/dev/null || true
    fi
    rm -rf "$trust"
}
trap stop_standin EXIT

cat "$bundle" "$AURALIS_RUN_CA" > "$trust/bundle.crt"
mount --bind "$trust/bundle.crt" "$bundle"

mkdir -p "$top/out"
"$standin" serve --state "$state" > "$top/out/standin.log" 2>&1 &
standin_pid=$!

if ! "$top/scripts/wait-for-standin.sh" "$AURALIS_RUN_CA" https://127.0.0.1:8443 "$standin_pid"; then
    echo "The stand-in service did not start:" >&2
    cat "$top/out/standin.log" >&2
    exit 1
fi

echo "Stand-in service on https://127.0.0.1:8443, state in $state, log in $top/out/standin.log"

if [ -n "${DISPLAY:-}" ]; then
    "$app"
    exit 0
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
