#!/usr/bin/env bash
# Checks, before anything is installed or built, that this machine lets the
# caller do what the run and test commands need: root (packages are installed
# with apt, mounts are made) and private namespaces (mount, and for the
# tests also network), in which the throwaway CAs are trusted and the
# end-to-end tests get a loopback, /opt and /var/tmp of their own. Says in
# one line what is missing and exits 1.
#
#   scripts/preflight.sh COMMAND [net]
set -euo pipefail
command=${1:?usage: preflight.sh COMMAND [net]}
kinds=(--mount)
what="a private mount namespace"
if [ "${2:-}" = net ]; then
    kinds+=(--net)
    what="private mount and network namespaces"
fi

if [ "$(id -u)" != 0 ]; then
    echo "$command: run it as root: it installs packages with apt and needs $what" >&2
    exit 1
fi

if ! error=$(unshare "${kinds[@]}" --propagation private true 2>&1); then
    echo "$command: this machine does not allow $what (${error:-unshare failed}); a container needs CAP_SYS_ADMIN, a chroot a mounted root" >&2
    exit 1
fi
