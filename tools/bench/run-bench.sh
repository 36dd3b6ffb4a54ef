#!/usr/bin/env bash
# Builds the service benchmark in Release (into build-bench/, or BUILD_DIR)
# and runs it inside the test CA's namespace, where the loopback server's
# certificate is trusted by libcurl and by the curl command line alike.
set -euo pipefail
top=$(cd "$(dirname "$0")/../.." && pwd)
build=${BUILD_DIR:-$top/build-bench}

cmake -S "$top" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DAURALIS_BUILD_BENCHMARKS=ON -DAURALIS_BUILD_TESTS=OFF -DAURALIS_BUILD_APP=OFF -DAURALIS_BUILD_STANDIN=OFF >/dev/null
ninja -C "$build" -j2 auralis_bench

exec "$top/tests/support/with-test-ca.sh" "$build/tools/bench/auralis_bench" "$@"
