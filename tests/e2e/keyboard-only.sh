#!/usr/bin/env bash
# End to end with the keyboard alone: no pointer event reaches the program.
# The window gets the focus as a desktop gives it (xdotool windowfocus); from
# there only keys: a first start from the name entry to the QR code and on to
# the home page, then a returning user's home page to the updates page and
# back.
#
# Runs in private namespaces (see lib.sh); exits 77 (skipped) when not root.
# Screenshots go to SNAPSHOT_DIR, the logs to SNAPSHOT_DIR/logs.
#
# usage: keyboard-only.sh PROGRAM STANDIN SOURCE_DIR SNAPSHOT_DIR
set -euo pipefail
source "$(dirname "$0")/lib.sh"
e2e_enter "$@"

name="Kim Keys"
e2e_scenario=keyboard

# The display's pointer starts in its middle, where the window will open; it
# goes to a corner before the program starts, so that not even its crossing
# into the window reaches the program.
xdotool mousemove 0 0

# key KEY...: keys to the program's window, which must have the focus.
key()
{
    wait_for 10 "keyboard focus on the program's window" main_window_has_focus
    xdotool key --clearmodifiers "$@"
}

name_judged_valid() { grab && near "$(colours_at 444,352)" "$green"; }

qr_on_page()
{
    grab && zbarimg --nodbus --raw -q "$e2e_work/window.png" 2> /dev/null | grep -q "/upload/" && on_page personalise
}

# focus_frame_on X Y: the white frame a focused control shows inside its
# border, at a page point just inside it.
focus_frame_on() { grab && near "$(colours_at "$1,$2")" "$white"; }

updates_page_says()
{
    on_page updates || return 1
    local text
    text=$(ocr 110 157 363 23)
    e2e_seen="updates page saying \"$text\""
    reads "$text" "$1"
}

#-------------------------------------------------------------------------------
# A first start: the name entry has the focus, Return is Begin.
standin_start
app_start
wait_page start
wait_quiet
type_text "$name"
wait_for 10 "valid-name icon after typing without a click" name_judged_valid
shot start-page-name-typed
key Return
wait_for 30 "QR code on the personalise page after Return" qr_on_page
shot personalise-page
[ "$(bank_profiles)" = "$name" ] || fail "expected the profile \"$name\" in the bank"

# The QR code has the focus (a stray Return does nothing); Tab, Tab: Watch
# Now, then Next, which shows its focus frame.
expect "no focus frame at rest" eval '! focus_frame_on 262 406'
key Return
sleep 1
expect "still the personalise page after a stray Return" on_page personalise
key Tab Tab
wait_for 5 "focus frame on Next" focus_frame_on 262 406
shot personalise-page-next-focused

# An upload processed, Space on Next: the HRTF comes down.
standin upload latest > /dev/null
key space
wait_page profile-loaded 60
shot profile-loaded-page

# HOME has the focus; it does nothing until the page's picture is settled.
home_by_return() { key Return && within 1 on_page home; }
wait_for 20 "home page after Return on HOME" home_by_return
shot home-page
check_hrtf "$(bank preset.0.hrtf_id)"
app_close

#-------------------------------------------------------------------------------
# A returning user: the profile selector has the focus; Tab, Tab, Return on
# the refresh icon leads to the updates page, whose status line has the
# focus: Return there does nothing, Tab goes on to the back arrow.
e2e_scenario=keyboard-returning
app_start
wait_page home
wait_quiet
key Tab Tab Return
wait_for 15 "updates page" updates_page_says "No Updates Available!"
shot updates-page
wait_quiet
key Return
sleep 1
expect "still the updates page after a stray Return" on_page updates
key Tab Return
wait_page home
shot home-page-again
wait_quiet
app_close

say "passed: first start to the QR code and home, the updates page and back, with keys alone"
