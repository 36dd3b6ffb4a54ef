#!/usr/bin/env bash
# End to end: closing the program's real window (under Xvfb, with the X11
# close request a title bar's close button sends) while the service hangs.
# A service operation a page started holds the close back until it ends; a
# close that is let through ends the program within seconds, whatever the
# network is doing. The service hangs for as long as the test runs.
#
#   first-start     a server that takes connections and never answers: the
#                   first-run software check hangs, a close does nothing;
#                   once the connections are dropped the check ends ("Error!"),
#                   and a close ends the program
#   profile-loaded  onboarding through a relay to the stand-in, which holds
#                   the plug-in's picture back: before the page's deadline a
#                   close does nothing; after it, a close ends the program
#                   while the picture's download still waits
#   home            a start with a profile against the silent server: the
#                   home page's check hangs and holds the close back until the
#                   connections are dropped
#
# Runs in private namespaces (see lib.sh); exits 77 (skipped) when not root.
#
# usage: close-while-stalled.sh PROGRAM STANDIN SOURCE_DIR SNAPSHOT_DIR
set -euo pipefail
source "$(dirname "$0")/lib.sh"
e2e_enter "$@"

# A close that is let through ends the program within 2 s; the test allows
# more, so that a loaded machine cannot fail it. A close held back is given
# this long to show that it does nothing.
exit_bound_s=5
held_back_s=3
standin_port=8444
name="Close Tester"
connection_message="Thank you for using Auralis.  Please check your internet connection to continue."
hang_pid=

hang_start()
{
    python3 "$e2e_here/stalling-server.py" "$@" > "$e2e_work/hang.log" 2>&1 &
    hang_pid=$!
    wait_for 10 "hanging server" grep -q listening "$e2e_work/hang.log"
}

hang_stop()
{
    [ -n "$hang_pid" ] || return 0
    kill "$hang_pid" 2> /dev/null || true
    wait "$hang_pid" 2> /dev/null || true
    hang_pid=
}

# Ends the connections the hanging server holds: the program's requests end
# without a reply.
hang_drop() { kill -USR1 "$hang_pid"; }

held_count() { grep -c "^held" "$e2e_work/hang.log" || true; }

trap 'hang_stop; e2e_teardown' EXIT

send_close() { python3 "$e2e_here/../../scripts/x11-close-window.py" "$wid" || fail "could not send the close request"; }

# The close request does nothing while an operation holds it back.
close_is_held_back()
{
    send_close
    sleep "$held_back_s"
    app_is_running || fail "the program quit while an operation held the close back"
    find_main_window || fail "the window went while an operation held the close back"
    say "a close held back: the program runs on"
}

# The close request ends the program within the bound; prints how long it took.
close_ends_program()
{
    local start end
    start=${EPOCHREALTIME/[.,]/}
    send_close

    while app_is_running; do
        end=${EPOCHREALTIME/[.,]/}
        [ $((end - start)) -lt $((exit_bound_s * 1000000)) ] || fail "the program still runs $exit_bound_s s after a close it let through"
        sleep 0.05
    done

    end=${EPOCHREALTIME/[.,]/}
    wait "$app_pid" 2> /dev/null || true
    app_pid=
    wid=
    say "closed: the program ended $(awk -v us=$((end - start)) 'BEGIN { printf "%.2f", us / 1e6 }') s after the close request"
}

#-------------------------------------------------------------------------------
e2e_scenario=first-start
hang_start silent 8443
app_start
wait_page start
wait_for 10 "the software check's connection" eval '[ "$(held_count)" -ge 1 ]'
close_is_held_back
shot start-page-check-hanging

hang_drop
wait_alert "Error!"
expect_alert_text "$connection_message"
answer_alert Return
close_ends_program
hang_stop

#-------------------------------------------------------------------------------
e2e_scenario=profile-loaded
"$e2e_standin" serve --state "$e2e_state" --port "$standin_port" --quiet >> "$e2e_work/standin.log" 2>&1 &
standin_pid=$!
standin_on_port() { curl -s -o /dev/null --max-time 2 --cacert "$e2e_ca" "https://127.0.0.1:$standin_port/download"; }
wait_for 20 "answer from the stand-in" standin_on_port
hang_start relay 8443 "$standin_port" "$e2e_state/tls/server.pem" "$e2e_state/tls/server.key" "$e2e_ca" /media/

app_start
wait_page start
wait_quiet
click 250 353
type_text "$name"
name_judged_valid() { grab && near "$(colours_at 444,352)" "$green"; }
wait_for 10 "valid-name icon" name_judged_valid
click 256 418

qr_on_page() { grab && zbarimg --nodbus --raw -q "$e2e_work/window.png" 2> /dev/null | grep -q "/upload/"; }
wait_for 30 "QR code on the personalise page" qr_on_page
standin upload latest > /dev/null
click 309 406
wait_page profile-loaded 60
wait_for 10 "the picture's request held" eval '[ "$(held_count)" -ge 1 ]'
shown_at=${EPOCHREALTIME/[.,]/}
close_is_held_back

# The page's deadline for its picture is its sixth one-second tick.
while [ $((${EPOCHREALTIME/[.,]/} - shown_at)) -lt 8000000 ]; do sleep 0.2; done
shot profile-loaded-picture-hanging
close_ends_program
[ "$(held_count)" -ge 1 ] || fail "the picture was not held"
hang_stop
standin_kill

[ "$(bank preset.0.profileName)" = "$name" ] || fail "the bank does not hold the profile"

#-------------------------------------------------------------------------------
e2e_scenario=home
hang_start silent 8443
app_start
wait_for 10 "the home page's check" eval '[ "$(held_count)" -ge 1 ]'
close_is_held_back
shot home-page-check-hanging

hang_drop
wait_alert "Error!"
answer_alert Return
close_ends_program
hang_stop

say "passed"
