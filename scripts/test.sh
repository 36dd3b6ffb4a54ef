#!/usr/bin/env bash
# Sets up the machine, builds, and runs every test: ctest inside a private
# mount namespace (where the tests' own CA is trusted, see
# tests/support/with-test-ca.sh) and under Xvfb.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$top/build}

"$top/scripts/preflight.sh" scripts/test.sh net
"$top/scripts/setup.sh"
"$top/scripts/build.sh"

# A test that fails fails the run: nothing is run twice, so a flaky test is
# seen, not hidden.
exec "$top/tests/support/with-test-ca.sh" \
    xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" \
    ctest --test-dir "$build" --output-on-failure -j 2 "$@"
