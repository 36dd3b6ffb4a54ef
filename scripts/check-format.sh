#!/usr/bin/env bash
# Fails when a C++ file of the repository differs from what clang-format
# (Debian's clang-format 14, with .clang-format) makes of it, and prints the
# difference. Fix with: clang-format -i FILE...
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"
command -v clang-format >/dev/null || apt-get install -y -qq --no-install-recommends clang-format >/dev/null

status=0
while IFS= read -r -d '' file; do
    if ! clang-format --dry-run --Werror "$file" >/dev/null 2>&1; then
        echo "check-format: $file is not formatted:" >&2
        diff -u "$file" <(clang-format "$file") | tail -n +3 >&2 || true
        status=1
    fi
done < <(git ls-files -z '*.cpp' '*.h')
[ "$status" = 0 ] && echo "check-format: every C++ file is formatted"
exit "$status"
