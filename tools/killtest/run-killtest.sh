#!/usr/bin/env bash
# Builds the kill test in Release (tools/build-tools.sh, into build-tools/ or
# BUILD_DIR) and runs it inside the test CA's namespace, where the loopback
# HTTPS server's certificate is trusted. Prints where the kills landed and
# what was found after each; exits non-zero when a check failed.
#
#   tools/killtest/run-killtest.sh [--kills N] [--seed S] [--folder DIR]
#
# The default is 500 kills, aimed in turn at each kind of step the driver takes.
set -euo pipefail
top=$(cd "$(dirname "$0")/../.." && pwd)
export BUILD_DIR=${BUILD_DIR:-$top/build-tools}

"$top/tools/build-tools.sh" auralis_killtest
exec "$top/tests/support/with-test-ca.sh" "$BUILD_DIR/tools/killtest/auralis_killtest" "$@"
