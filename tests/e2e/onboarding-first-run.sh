#!/usr/bin/env bash
# End to end: the program's first run against the stand-in service, driven
# through its real window under Xvfb with xdotool. Types a name, presses
# Begin, reads the QR code off the personalise page, has the stand-in process
# an upload, presses Next, waits for the profile-loaded page and presses
# HOME; then checks the HRTF file, its backup and the bank on disk.
#
# With E2E_STANDIN_OPTIONS=--redirect-over-http the stand-in first answers
# each of the program's posts and downloads with a redirect to the same
# address over plain http://, on its TLS-only port: the flow completes only
# if every hop stays on HTTPS, and the stand-in's log shows each kind of
# redirect was met.
#
# Runs in private namespaces (see lib.sh); exits 77 (skipped) when not root.
#
# usage: onboarding-first-run.sh PROGRAM STANDIN SOURCE_DIR SNAPSHOT_DIR
set -euo pipefail
source "$(dirname "$0")/lib.sh"
e2e_enter "$@"

name="E2E Tester"
e2e_scenario=onboarding
standin_start
app_start

#-------------------------------------------------------------------------------
# Start page: the first-run software check runs; then the name is typed.
wait_page start
click 250 353
type_text "$name"
name_judged_valid() { grab && near "$(colours_at 444,352)" "$green"; }
wait_for 10 "valid-name icon" name_judged_valid
shot start-page-name-typed

click 256 418

# Personalise page: its QR code leads to the stand-in's upload page.
qr_on_page() { grab && zbarimg --nodbus --raw -q "$e2e_work/window.png" 2> /dev/null | grep -q "/upload/"; }
wait_for 30 "QR code on the personalise page" qr_on_page
shot personalise-page
qr=$(zbarimg --nodbus --raw -q "$e2e_work/window.png")

# A processed upload, then Next instead of waiting for the schedule.
standin upload latest > /dev/null
click 309 406
wait_page profile-loaded 60
shot profile-loaded-page

# HOME leads on once the picture is settled.
leave_page() { click 427 168 && within 1 on_page home; }
wait_for 20 "home page after HOME" leave_page
shot home-page

#-------------------------------------------------------------------------------
# What is on disk, once the home page's own check (which saves the bank
# again) is over.
wait_quiet
[ -f "$e2e_data/Presets" ] || fail "no bank file"
cmp -s "$e2e_data/Presets" "$e2e_data/Presets_" || fail "the backup of the bank differs"
[ "$(bank preset.0.profileName)" = "$name" ] || fail "the bank does not hold the profile"
hrtf_id=$(bank preset.0.hrtf_id)
check_hrtf "$hrtf_id"

hrtf_files=()
for f in "$e2e_data"/*; do
    base=$(basename "$f")
    case "$base" in Presets | Presets_ | *_) ;; *) hrtf_files+=("$base") ;; esac
done
[ "${hrtf_files[*]}" = "$hrtf_id" ] || fail "expected HRTF file $hrtf_id alone, found: ${hrtf_files[*]:-none}"

# A close ends the program cleanly, its bank saved.
app_close

if [[ "${E2E_STANDIN_OPTIONS:-}" == *--redirect-over-http* ]]; then
    for redirect in "POST /status-check/v1.0 307" "POST /qr-code-generator/v1.0 307" "GET /qr/[0-9a-f]*\.png 302" \
        "POST /pull-client/v1.1 308" "GET /hrtf/[A-Za-z0-9_]* 303" "GET /media/plugin-screenshot.png 301"; do
        grep -q "^redirected $redirect" "$e2e_work/standin.log" || fail "the stand-in never redirected: $redirect"
    done
    say "every post and download came back over HTTPS after its http:// redirect"
fi

say "passed: profile '$name' with HRTF $hrtf_id ($(stat -c %s "$e2e_data/$hrtf_id") bytes), QR code $qr"
