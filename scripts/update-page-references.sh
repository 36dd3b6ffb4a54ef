#!/usr/bin/env bash
# Rewrites the page pictures the PageRendering tests compare the window with
# (tests/app/page-references/*.png) from the current sources: builds the
# tests into build/ (or BUILD_DIR) and runs those tests in writing mode.
# Only for a change of look made on purpose; look at the pictures (and
# `git diff --stat`) before committing them.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$top/build}

"$top/scripts/build.sh" > /dev/null
AURALIS_WRITE_PAGE_REFERENCES=1 "$top/tests/support/with-test-ca.sh" \
    xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" \
    "$build/tests/auralis_app_tests" --gtest_filter='PageRendering.*'
ls -l "$top/tests/app/page-references"
