#!/usr/bin/env bash
# Builds the Windows program and its installer, then checks them under Wine:
# the one command for both (run as root on Debian 12).
set -euo pipefail
top=$(cd "$(dirname "$0")/../.." && pwd)
"$top/scripts/windows/build.sh"
exec "$top/scripts/windows/check-under-wine.sh"
