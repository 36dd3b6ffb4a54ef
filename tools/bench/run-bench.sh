#!/usr/bin/env bash
# Builds the benchmarks in Release (tools/build-tools.sh, into build-tools/ or
# BUILD_DIR) and runs them. Each prints figures measured in this one run, as
# ratios where there is a yardstick; nothing is asserted.
#
#   tools/bench/run-bench.sh [all]      every benchmark below (as root)
#   tools/bench/run-bench.sh service    fetchUrlBytes and the status check
#                                       against the curl command line
#   tools/bench/run-bench.sh store      bank load and save, 1 to 10,000 profiles
#   tools/bench/run-bench.sh start-up   first painted frame, memory and idle CPU
#                                       against a blank JUCE window, the
#                                       stand-in service answering (as root)
#   tools/bench/run-bench.sh --fetch N | --post N | --serve S
#                                       the service benchmark's single modes
#
# The service benchmark runs inside the test CA's namespace, where the loopback
# server's certificate is trusted by libcurl and by the curl command line alike.
set -euo pipefail
top=$(cd "$(dirname "$0")/../.." && pwd)
export BUILD_DIR=${BUILD_DIR:-$top/build-tools}
build=$BUILD_DIR
what=${1:-all}

run_service()
{
    "$top/tools/build-tools.sh" auralis_bench
    "$top/tests/support/with-test-ca.sh" "$build/tools/bench/auralis_bench" "$@"
}

run_store()
{
    "$top/tools/build-tools.sh" auralis_store_bench
    # On the disk, beside the build, as the data folder would be.
    local folder
    folder=$(mktemp -d "$build/store-bench.XXXXXX")
    "$build/tools/bench/auralis_store_bench" "$folder"
    rm -rf "$folder"
}

run_start_up()
{
    "$top/tools/build-tools.sh" Auralis auralis_blank_window auralis_xprobe auralis-standin auralis_shared_bank_probe
    "$top/tools/bench/startup-bench.sh" "$build"
}

case "$what" in
    all)
        run_service
        echo
        run_store
        echo
        run_start_up
        ;;
    service) run_service ;;
    store) run_store ;;
    start-up) run_start_up ;;
    *) run_service "$@" ;;
esac
