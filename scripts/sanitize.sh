#!/usr/bin/env bash
# Sanitizer builds of the tests, each in a build folder of its own, run the
# way scripts/test.sh runs the tests (ctest inside the test CA's namespace,
# under Xvfb). A sanitizer report fails the test that caused it.
#
#   scripts/sanitize.sh thread     ThreadSanitizer: the service and store tests
#                                  (ctest labels service and store), in build-tsan/
#   scripts/sanitize.sh address    AddressSanitizer (with LeakSanitizer) and
#                                  UndefinedBehaviourSanitizer: the whole suite
#                                  (the program, end to end against the stand-in,
#                                  and the stand-in's own tests included), in
#                                  build-asan/
#   scripts/sanitize.sh [all]      both
#
# Further arguments go to ctest. The builds use the "tsan" and "asan" presets
# (CMakePresets.json).
#
# Suppressions, for the framework's and libraries' own findings only, are in
# scripts/sanitizers/ with the reason for each. Prints how long the build and
# the run took.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
what=${1:-all}
shift || true
supp="$top/scripts/sanitizers"

"$top/scripts/setup.sh"

# build_with FOLDER PRESET: configures with the preset (CMakePresets.json) in
# the given folder and builds everything it enables.
build_with()
{
    local folder=$1 preset=$2
    (cd "$top" && cmake --preset "$preset" -B "$folder" >/dev/null)
    cmake --build "$folder" -j 2
}

# Runs ctest; fails when it fails, and also when a test printed a sanitizer
# report, whatever its exit status.
run_tests()
{
    local folder=$1 log status=0
    shift
    log=$(mktemp)
    "$top/tests/support/with-test-ca.sh" xvfb-run -a -s "-noreset -screen 0 1280x1024x24" \
        ctest --test-dir "$folder" --output-on-failure -j 2 "$@" 2>&1 | tee "$log" || status=$?
    if grep -qE "ERROR: (Address|Leak)Sanitizer|WARNING: ThreadSanitizer|runtime error:" "$log"; then
        echo "sanitize: a test printed a sanitizer report (see above)" >&2
        status=1
    fi
    rm -f "$log"
    return "$status"
}

timed()
{
    local label=$1 start
    shift
    start=$(date +%s)
    "$@"
    echo "sanitize: $label took $(($(date +%s) - start)) s"
}

thread()
{
    local folder=${TSAN_BUILD_DIR:-$top/build-tsan}
    timed "thread: build" build_with "$folder" tsan
    # halt_on_error stops a test at its first report, which fails it.
    TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1 suppressions=$supp/tsan.supp" \
        timed "thread: service and store tests" run_tests "$folder" -L '^(service|store)$' "$@"
}

address()
{
    local folder=${ASAN_BUILD_DIR:-$top/build-asan}
    timed "address: build" build_with "$folder" asan
    ASAN_OPTIONS="detect_leaks=1 detect_stack_use_after_return=1 check_initialization_order=1 strict_init_order=1" \
        LSAN_OPTIONS="suppressions=$supp/lsan.supp print_suppressions=0" \
        UBSAN_OPTIONS="print_stacktrace=1 halt_on_error=1 suppressions=$supp/ubsan.supp" \
        timed "address: whole suite" run_tests "$folder" "$@"
}

case "$what" in
    thread) thread "$@" ;;
    address) address "$@" ;;
    all)
        thread "$@"
        address "$@"
        ;;
    *)
        echo "usage: scripts/sanitize.sh [thread|address|all] [ctest options]" >&2
        exit 2
        ;;
esac
