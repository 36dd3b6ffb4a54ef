#!/usr/bin/env bash
# Prints the ids of the visible windows whose names match an extended regular
# expression, one a line (xdotool's search); nothing, with status 0, when no
# window matches.
#
# xdotool's search walks the window tree and gives up as a whole, printing an
# X error (BadWindow), when a window goes away while it walks: one of a
# closing alert's shadow windows, say. Such a search has seen nothing, not an
# empty screen; taken for one, it passes a check that an alert has gone while
# the alert is still up. It is made again. (With windows coming and going all
# the time, about 3 searches in 100 fail so.)
#
# usage: x11-find-windows.sh NAME_REGEX
set -uo pipefail

for _ in $(seq 1 50); do
    output=$(xdotool search --onlyvisible --name "$1" 2>&1)
    if ! grep -q "X Error" <<< "$output"; then
        grep -E '^[0-9]+$' <<< "$output"
        exit 0
    fi
    sleep 0.02
done

echo "x11-find-windows: every search met a window going away" >&2
exit 1
