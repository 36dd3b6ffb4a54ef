#!/usr/bin/env bash
# Waits up to 10 s for a freshly started stand-in service to answer over TLS,
# checked against its own CA; gives up early when its process has ended.
# Exits 0 once it answers, 1 otherwise (the caller shows its log).
#
#   scripts/wait-for-standin.sh CA-FILE SERVICE-ADDRESS STANDIN-PID
set -uo pipefail
ca=$1
service=$2
pid=$3

for _ in $(seq 1 100); do
    curl -s -o /dev/null --cacert "$ca" "$service/media/plugin-screenshot.png" && exit 0
    kill -0 "$pid" 2>/dev/null || exit 1
    sleep 0.1
done

exit 1
