#!/usr/bin/env bash
# End to end: the program's first run against the stand-in service, driven
# through its real window under Xvfb with xdotool. Types a name, presses
# Begin, reads the QR code off the personalise page, has the stand-in process
# an upload, presses Next, waits for the profile-loaded page and presses
# HOME; then checks the HRTF file, its backup and the bank on disk.
#
# Runs as root in a private mount and network namespace: the stand-in gets
# the program's compiled-in address 127.0.0.1:8443 on a loopback of its own,
# its CA is trusted through a bind-mounted copy of the CA bundle, and /opt
# (where the program's shared data folder lies on Linux) is a fresh folder.
# Nothing outside the namespace changes. Exits 77 (skipped) when not root.
#
# usage: onboarding-first-run.sh PROGRAM STANDIN SOURCE_DIR SNAPSHOT_DIR
set -euo pipefail

app=$1
standin=$2
top=$3
shots=$4

name="E2E Tester"
title="Auralis with VST Spherion"

if [ "${AURALIS_E2E_STAGE:-}" = "" ]; then
    if [ "$(id -u)" != 0 ]; then
        echo "skipped: needs root for its private namespaces"
        exit 77
    fi

    export AURALIS_E2E_STAGE=namespace
    exec unshare --mount --net --propagation private "$0" "$@"
fi

#===============================================================================
if [ "$AURALIS_E2E_STAGE" = namespace ]; then
    ip link set lo up

    work=$(mktemp -d /tmp/auralis-e2e.XXXXXX)
    standin_pid=

    cleanup()
    {
        if [ -n "$standin_pid" ]; then
            kill "$standin_pid" 2>/dev/null || true
            wait "$standin_pid" 2>/dev/null || true
        fi

        umount /opt 2>/dev/null || true
        umount /etc/ssl/certs/ca-certificates.crt 2>/dev/null || true
        rm -rf "$work"
    }
    trap cleanup EXIT

    mkdir -p "$work/opt" "$work/state"
    mount --bind "$work/opt" /opt

    ca=$("$standin" ca-path --state "$work/state")
    cat /etc/ssl/certs/ca-certificates.crt "$ca" > "$work/bundle.crt"
    mount --bind "$work/bundle.crt" /etc/ssl/certs/ca-certificates.crt

    "$standin" serve --state "$work/state" --quiet > "$work/standin.log" 2>&1 &
    standin_pid=$!

    for _ in $(seq 1 100); do
        curl -s -o /dev/null --cacert "$ca" https://127.0.0.1:8443/media/plugin-screenshot.png && break
        kill -0 "$standin_pid" 2>/dev/null || { cat "$work/standin.log" >&2; exit 1; }
        sleep 0.1
    done

    export AURALIS_E2E_STAGE=display AURALIS_E2E_WORK="$work" AURALIS_E2E_CA="$ca"
    xvfb-run -a -s "-noreset -screen 0 1280x1024x24" "$0" "$@"
    exit $?
fi

#===============================================================================
# Under Xvfb, inside the namespace.
work=$AURALIS_E2E_WORK
state="$work/state"
data="/opt/Common Files/Vantora/Korvane"
mkdir -p "$shots"
"$top/scripts/x11-desktop-atoms.sh"

"$app" > "$work/app.log" 2>&1 &
app_pid=$!
trap 'kill "$app_pid" 2>/dev/null || true; wait "$app_pid" 2>/dev/null || true' EXIT

fail()
{
    echo "FAILED: $*" >&2
    echo "--- program output:" >&2
    cat "$work/app.log" >&2 || true
    [ -n "${wid:-}" ] && import -window "$wid" "$shots/failure.png" 2>/dev/null || true
    exit 1
}

# Polls a command for up to $1 seconds.
within()
{
    local seconds=$1
    shift
    for _ in $(seq 1 $((seconds * 4))); do
        "$@" && return 0
        sleep 0.25
    done
    return 1
}

wid=
find_window() { wid=$(xdotool search --name "^$title\$" 2>/dev/null | head -1); [ -n "$wid" ]; }
within 60 find_window || fail "the program's window did not appear"
xdotool windowfocus --sync "$wid"

shot() { import -window "$wid" "$shots/$1.png"; }

# The colour of a window pixel, as "R,G,B".
pixel()
{
    import -window "$wid" "$work/pixel.png"
    convert "$work/pixel.png" -format "%[fx:int(255*p{$1,$2}.r)],%[fx:int(255*p{$1,$2}.g)],%[fx:int(255*p{$1,$2}.b)]" info:
}

# True when the pixel is within 12 of the colour on every channel.
pixel_is()
{
    local r g b want_r want_g want_b
    IFS=, read -r r g b <<< "$(pixel "$1" "$2")"
    IFS=, read -r want_r want_g want_b <<< "$3"
    [ $((r > want_r ? r - want_r : want_r - r)) -le 12 ] \
        && [ $((g > want_g ? g - want_g : want_g - g)) -le 12 ] \
        && [ $((b > want_b ? b - want_b : want_b - b)) -le 12 ]
}

click() { xdotool mousemove --window "$wid" "$1" "$2" click 1; }

green=0,214,118
valid_icon_on_start_page() { pixel_is 444 352 "$green"; }
tick_on_profile_loaded_page() { pixel_is 100 168 "$green"; }

#-------------------------------------------------------------------------------
# Start page: the first-run software check runs; then the name is typed.
sleep 2
click 250 353
xdotool type --delay 60 "$name"
within 10 valid_icon_on_start_page || fail "the name was not judged valid"
shot e2e-1-start-page-name-typed

click 256 418

# Personalise page: its QR code leads to the stand-in's upload page.
qr_on_page()
{
    import -window "$wid" "$work/qr.png"
    zbarimg --raw -q "$work/qr.png" 2>/dev/null | grep -q "/upload/"
}
within 30 qr_on_page || fail "the personalise page did not show a QR code"
shot e2e-2-personalise-page
zbarimg --raw -q "$work/qr.png" > "$work/qr.txt"

# A processed upload, then Next instead of waiting for the schedule.
"$standin" upload latest --state "$state" > /dev/null
click 309 406

within 60 tick_on_profile_loaded_page || fail "the profile-loaded page did not appear"
sleep 2
shot e2e-3-profile-loaded-page

# HOME leads on once the picture is settled.
leave_page() { click 427 168; sleep 0.5; ! tick_on_profile_loaded_page; }
within 20 leave_page || fail "HOME did not leave the profile-loaded page"
shot e2e-4-after-home

#-------------------------------------------------------------------------------
# What is on disk.
[ -f "$data/Presets" ] || fail "no bank file"
[ -f "$data/Presets_" ] || fail "no backup of the bank"
grep -aq "$name" "$data/Presets" || fail "the bank does not hold the profile"

hrtf_files=()
for f in "$data"/*; do
    base=$(basename "$f")
    case "$base" in Presets | Presets_ | *_) ;; *) hrtf_files+=("$base") ;; esac
done
[ ${#hrtf_files[@]} = 1 ] || fail "expected one HRTF file, found: ${hrtf_files[*]:-none}"
hrtf_id=${hrtf_files[0]}

[ -f "$data/${hrtf_id}_" ] || fail "no backup of the HRTF file"
cmp -s "$data/$hrtf_id" "$data/${hrtf_id}_" || fail "the HRTF backup differs"
grep -aq "$hrtf_id" "$data/Presets" || fail "the bank does not record the HRTF id"
curl -s --cacert "$AURALIS_E2E_CA" -o "$work/served" "https://127.0.0.1:8443/hrtf/$hrtf_id"
cmp -s "$data/$hrtf_id" "$work/served" || fail "the HRTF file differs from what the service serves"

echo "passed: profile '$name' with HRTF $hrtf_id ($(stat -c %s "$data/$hrtf_id") bytes), QR code $(cat "$work/qr.txt")"
