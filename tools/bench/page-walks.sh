#!/usr/bin/env bash
# Walks of the start-up benchmark (startup-bench.sh): each leads the running
# program from the page it starts on to one page, with xdotool on its window,
# and ends once that page is shown. The stand-in service answers meanwhile.
#
#   page-walks.sh home          the home page, its start-up alert answered
#   page-walks.sh updates       home page -> updates page
#   page-walks.sh personalise   home page -> "Submit New Image" -> personalise page
#   page-walks.sh profile-loaded
#                               home page -> personalise page -> an upload through
#                               the stand-in (AURALIS_BENCH_STANDIN, its state in
#                               AURALIS_BENCH_STATE) -> "Next" -> profile-loaded page
#
# With AURALIS_BENCH_SHOTS set to a folder, the screen is saved there as
# <walk>.png once the page is shown, to check where the walk led.
set -euo pipefail
title="Auralis with VST Spherion"
walk=${1:?usage: page-walks.sh home|updates|personalise|profile-loaded}

window=$(xdotool search --sync --name "^$title\$" | head -n1)
click() { xdotool mousemove --window "$window" "$1" "$2" click 1; }

# Answers every alert the page shows with its default button (Return), as a
# user would read and close it.
answer_alerts()
{
    local alert
    for alert in $(xdotool search --onlyvisible --name . 2>/dev/null); do
        [ "$alert" = "$window" ] && continue
        xdotool windowfocus --sync "$alert" key Return 2>/dev/null || true
    done
}

# The home page refuses its buttons while its background check runs.
sleep 3
answer_alerts
sleep 0.5

case "$walk" in
    home) ;;
    updates) click 457 180 ;;          # the refresh ring beside the profile selector
    personalise) click 380 390 ;;      # "Submit New Image"
    profile-loaded)
        click 380 390                  # "Submit New Image"
        sleep 4                        # the QR code is requested and shown
        answer_alerts
        "$AURALIS_BENCH_STANDIN" upload latest --state "$AURALIS_BENCH_STATE" >/dev/null
        click 309 406                  # "Next": the HRTF is pulled
        sleep 4                        # the plug-in picture: at most six ticks
        ;;
    *) exit 2 ;;
esac

# Let the page's own start-up work (status check, QR code request) finish.
sleep 4
answer_alerts

if [ -n "${AURALIS_BENCH_SHOTS:-}" ]; then
    import -window root "$AURALIS_BENCH_SHOTS/$walk.png"
fi
