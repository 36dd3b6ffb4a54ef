# Shared steps of the end-to-end tests, sourced by each test script.
#
# A test script calls `e2e_enter "$@"` with its arguments
#     PROGRAM STANDIN SOURCE_DIR SNAPSHOT_DIR [more...]
# e2e_enter runs the script again, as root, in a private mount and network
# namespace: the stand-in gets the program's compiled-in address
# 127.0.0.1:8443 on a loopback of its own, its CA is trusted through a
# bind-mounted copy of the CA bundle, /opt (where the program's shared data
# folder lies on Linux) is a fresh folder, and so is /var/tmp, where the
# framework keeps the lock that lets one instance of the program run: other
# runs of the program on this machine (another test, a developer's) neither
# stop this one from starting nor count as its first instance. Inside, it runs the script a
# third time under Xvfb, and only there does e2e_enter return. Nothing outside
# the namespace changes. Not root: the script exits 77 (skipped).
#
# Two settings serve the check of the installed package:
#   AURALIS_E2E_USER=NAME  runs the program as that (non-root) user;
#   AURALIS_E2E_KEEP_OPT=1 keeps /opt as it is outside, with the shared data
#                          folder the package's post-install step created.
#
# Every wait polls a condition every 0.2 s up to a time-out; a failed wait
# saves a screenshot of the whole screen, says what it saw last (page, alert
# windows, the program's and the stand-in's output) and ends the test.
#
# The program's window is fixed at 540 x 565, so page elements are reached
# at fixed page coordinates.

e2e_title="Auralis with VST Spherion"
e2e_data="/opt/Common Files/Vantora/Korvane"
e2e_here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)

#===============================================================================
# Namespaces and display.

e2e_enter()
{
    e2e_app=$1
    e2e_standin=$2
    e2e_top=$3
    e2e_shots=$4

    case "${AURALIS_E2E_STAGE:-}" in
        "")
            if [ "$(id -u)" != 0 ]; then
                # Under CI a skip would pass for a green run.
                if [ "${CI:-}" = true ]; then
                    echo "FAILED: needs root for its private namespaces"
                    exit 1
                fi
                echo "skipped: needs root for its private namespaces"
                exit 77
            fi

            export AURALIS_E2E_STAGE=namespace
            exec unshare --mount --net --propagation private "$0" "$@"
            ;;
        namespace)
            e2e_namespace_stage "$@"
            exit $?
            ;;
        display)
            e2e_display_stage
            ;;
        *)
            echo "unknown stage $AURALIS_E2E_STAGE" >&2
            exit 1
            ;;
    esac
}

e2e_namespace_stage()
{
    ip link set lo up

    local work status=0
    work=$(mktemp -d /tmp/auralis-e2e.XXXXXX)
    mkdir -p "$work/opt" "$work/state" "$work/bin" "$work/var-tmp"
    # The program may run as another user: it reads the fake browser from
    # here and writes the browser log and the lock in /var/tmp.
    chmod 0755 "$work" "$work/bin"
    chmod 1777 "$work/var-tmp"
    [ "${AURALIS_E2E_KEEP_OPT:-}" = 1 ] || mount --bind "$work/opt" /opt
    mount --bind "$work/var-tmp" /var/tmp

    local ca
    ca=$("$e2e_standin" ca-path --state "$work/state")
    cat /etc/ssl/certs/ca-certificates.crt "$ca" > "$work/bundle.crt"
    mount --bind "$work/bundle.crt" /etc/ssl/certs/ca-certificates.crt

    export AURALIS_E2E_STAGE=display AURALIS_E2E_WORK="$work" AURALIS_E2E_CA="$ca"
    xvfb-run -a -s "-noreset -screen 0 1280x1024x24" "$0" "$@" || status=$?

    # The logs go with the screenshots, as artefacts of the run.
    rm -rf "$e2e_shots/logs"
    mkdir -p "$e2e_shots/logs"
    cp "$work"/*.log "$e2e_shots/logs/" 2>/dev/null || true

    [ "${AURALIS_E2E_KEEP_OPT:-}" = 1 ] || umount /opt 2>/dev/null || true
    umount /var/tmp 2>/dev/null || true
    umount /etc/ssl/certs/ca-certificates.crt 2>/dev/null || true
    rm -rf "$work"
    return $status
}

e2e_display_stage()
{
    e2e_work=$AURALIS_E2E_WORK
    e2e_ca=$AURALIS_E2E_CA
    e2e_state="$e2e_work/state"
    e2e_t0=${EPOCHREALTIME/[.,]/}
    e2e_shot_count=0
    e2e_scenario=e2e
    e2e_seen=
    app_pid=
    app_runs=0
    wid=
    standin_pid=

    mkdir -p "$e2e_shots"
    rm -f "$e2e_shots"/*.png
    "$e2e_top/scripts/x11-desktop-atoms.sh"

    # The browser: a stand-in for xdg-open, first on the program's PATH
    # (JUCE opens addresses with "xdg-open ADDRESS" through /bin/sh), that
    # records each address it is given.
    cat > "$e2e_work/bin/xdg-open" << EOF
#!/bin/sh
printf '%s\n' "\$*" >> "$e2e_work/browser.log"
EOF
    chmod +x "$e2e_work/bin/xdg-open"
    : > "$e2e_work/browser.log"
    chmod 0666 "$e2e_work/browser.log"

    # Another user's program gets its own copy of this display's key.
    if [ -n "${AURALIS_E2E_USER:-}" ]; then
        cp "$XAUTHORITY" "$e2e_work/xauthority"
        chown "$AURALIS_E2E_USER" "$e2e_work/xauthority"
    fi

    trap e2e_teardown EXIT
}

e2e_teardown()
{
    # AURALIS_E2E_HOLD=SECONDS keeps the program and the stand-in for a
    # debugger that long before they are stopped.
    if [ -n "${AURALIS_E2E_HOLD:-}" ]; then
        echo "holding the program (pid ${app_pid:-none}) for $AURALIS_E2E_HOLD s" >&2
        sleep "$AURALIS_E2E_HOLD"
    fi
    app_kill
    standin_kill
}

#===============================================================================
# Reporting and waiting.

elapsed()
{
    local now=${EPOCHREALTIME/[.,]/}
    local tenths=$(((now - e2e_t0) / 100000))
    echo "$((tenths / 10)).$((tenths % 10))"
}

say() { echo "[$(printf '%6s' "$(elapsed)") s] $*"; }

fail()
{
    local screen="$e2e_shots/FAILED-$e2e_scenario.png"
    echo "FAILED after $(elapsed) s in $e2e_scenario: $*" >&2
    import -window root "$screen" 2>/dev/null || true
    {
        echo "saw: ${e2e_seen:-nothing recorded}"
        echo "screen: $screen"
        echo "windows: $(describe_windows)"
        echo "--- program output (last 30 lines):"
        tail -n 30 "$e2e_work/app-$app_runs.log" 2>/dev/null || true
        echo "--- stand-in log (last 15 lines):"
        tail -n 15 "$e2e_work/standin.log" 2>/dev/null || true
    } >&2
    exit 1
}

# within SECONDS COMMAND...: polls the command every 0.2 s until it succeeds
# (0) or the time is up (1).
within()
{
    local seconds=$1
    shift
    local deadline
    deadline=$((${EPOCHREALTIME/[.,]/} + $(awk -v s="$seconds" 'BEGIN { printf "%d", s * 1000000 }')))

    while :; do
        "$@" && return 0
        [ "${EPOCHREALTIME/[.,]/}" -lt "$deadline" ] || return 1
        sleep 0.2
    done
}

# wait_for SECONDS WHAT COMMAND...: within, or fail naming WHAT.
wait_for()
{
    local seconds=$1 what=$2
    shift 2
    within "$seconds" "$@" || fail "no $what within $seconds s"
}

# expect WHAT COMMAND...: the command must succeed now.
expect()
{
    local what=$1
    shift
    "$@" || fail "expected $what"
}

#===============================================================================
# The stand-in service.

standin() { "$e2e_standin" "$@" --state "$e2e_state"; }

standin_answers() { curl -s -o /dev/null --max-time 2 --cacert "$e2e_ca" https://127.0.0.1:8443/download; }

standin_start()
{
    [ -z "$standin_pid" ] || return 0
    # E2E_STANDIN_OPTIONS: further options of the stand-in's serve command.
    # shellcheck disable=SC2086
    "$e2e_standin" serve --state "$e2e_state" --quiet ${E2E_STANDIN_OPTIONS:-} >> "$e2e_work/standin.log" 2>&1 &
    standin_pid=$!
    e2e_seen="the stand-in starting"
    wait_for 20 "answer from the stand-in" standin_answers
}

standin_kill()
{
    [ -n "$standin_pid" ] || return 0
    kill "$standin_pid" 2>/dev/null || true
    wait "$standin_pid" 2>/dev/null || true
    standin_pid=
}

standin_stop()
{
    standin_kill
    e2e_seen="the stand-in stopping"
    within 10 eval '! standin_answers' || fail "the stand-in still answers after it was stopped"
}

#===============================================================================
# The program.

# The visible windows whose names match an extended regular expression, one
# id a line; a search that met a window going away is made again rather than
# taken for an empty screen.
find_windows() { "$e2e_top/scripts/x11-find-windows.sh" "$1"; }

# The program's window once it is on screen. (The framework builds the
# window twice while it starts, the first one never shown.)
find_main_window()
{
    wid=$(find_windows "^$e2e_title\$" | head -1)
    [ -n "$wid" ]
}

main_window_has_focus()
{
    xdotool windowfocus "$wid" 2> /dev/null || true
    [ "$(xdotool getwindowfocus 2> /dev/null)" = "$wid" ]
}

# The window appeared, or the program ended without one (a failure).
main_window_shown()
{
    find_main_window && return 0
    app_exited && fail "the program ended without a window"
    return 1
}

app_is_running() { [ -n "$app_pid" ] && kill -0 "$app_pid" 2>/dev/null; }

# Starts the program (fake browser first on its PATH) and waits for its window.
app_start()
{
    app_runs=$((app_runs + 1))
    if [ -n "${AURALIS_E2E_USER:-}" ]; then
        # setpriv runs the program in its own process, so app_pid is the
        # program's, as it is when root runs it.
        local home
        home=$(getent passwd "$AURALIS_E2E_USER" | cut -d: -f6)
        setpriv --reuid="$AURALIS_E2E_USER" --regid="$AURALIS_E2E_USER" --init-groups \
            env -i HOME="$home" USER="$AURALIS_E2E_USER" LOGNAME="$AURALIS_E2E_USER" \
            DISPLAY="$DISPLAY" XAUTHORITY="$e2e_work/xauthority" PATH="$e2e_work/bin:/usr/bin:/bin" \
            "$e2e_app" > "$e2e_work/app-$app_runs.log" 2>&1 &
    else
        PATH="$e2e_work/bin:$PATH" "$e2e_app" > "$e2e_work/app-$app_runs.log" 2>&1 &
    fi
    app_pid=$!
    e2e_seen="the program starting (run $app_runs)"
    wait_for 60 "program window" main_window_shown

    geometry "$wid"
    win_x=$geo_x
    win_y=$geo_y
}

app_exited()
{
    ! kill -0 "$app_pid" 2>/dev/null
}

# Waits for the program to end, then checks that it ended cleanly: a Debug
# build reports objects that outlive the framework, and framework assertions,
# on its standard error.
app_wait_exit()
{
    e2e_seen="the program still running"
    wait_for "${1:-20}" "end of the program" app_exited
    wait "$app_pid" 2>/dev/null || true
    app_pid=
    wid=

    local log="$e2e_work/app-$app_runs.log"
    if grep -qE "Leaked objects detected|JUCE Assertion failure" "$log"; then
        grep -E "Leaked objects detected|JUCE Assertion failure" "$log" >&2
        fail "the program did not end cleanly (see its output above)"
    fi
}

# Asks the window to close, as its title bar's close button does.
app_close()
{
    python3 "$e2e_here/../../scripts/x11-close-window.py" "$wid" || fail "could not send the close request"
    app_wait_exit 20
}

# The program's service operations under way: its threads, besides the main
# one, that still carry the program's own name. The framework names its own
# threads ("JUCE Timer"); a worker's name is longer than the 15 characters
# Linux keeps, so a worker thread keeps the program's name while it runs.
app_workers()
{
    local name task count=0
    name=$(cat "/proc/$app_pid/comm" 2> /dev/null) || { echo 0; return 0; }
    for task in /proc/"$app_pid"/task/*; do
        [ "${task##*/}" != "$app_pid" ] && [ "$(cat "$task/comm" 2> /dev/null)" = "$name" ] && count=$((count + 1))
    done
    echo "$count"
}

# No operation under way, twice over 0.2 s (a result may start the next one).
app_quiet()
{
    local workers
    workers=$(app_workers)
    e2e_seen="$workers service operations under way"
    [ "$workers" = 0 ] && sleep 0.2 && [ "$(app_workers)" = 0 ]
}

wait_quiet() { wait_for 30 "end of the program's service operations" app_quiet; }

app_kill()
{
    [ -n "$app_pid" ] || return 0
    kill "$app_pid" 2>/dev/null || true
    wait "$app_pid" 2>/dev/null || true
    app_pid=
    wid=
}

#===============================================================================
# The screen.

# geometry WINDOW: sets geo_x, geo_y (on the screen), geo_w and geo_h.
geometry()
{
    local info
    info=$(xwininfo -id "$1") || fail "no window $1"
    geo_x=$(sed -n 's/^ *Absolute upper-left X: *//p' <<< "$info")
    geo_y=$(sed -n 's/^ *Absolute upper-left Y: *//p' <<< "$info")
    geo_w=$(sed -n 's/^ *Width: *//p' <<< "$info")
    geo_h=$(sed -n 's/^ *Height: *//p' <<< "$info")
}

# Grabs the program's window area (with any alert over it) into window.png.
grab()
{
    import -window root -crop "540x565+$win_x+$win_y" +repage "$e2e_work/window.png"
}

# shot NAME: saves the window area, and any alert window wherever it lies,
# as SNAPSHOT_DIR/NN-SCENARIO-NAME.png.
shot()
{
    e2e_shot_count=$((e2e_shot_count + 1))
    local file
    file="$e2e_shots/$(printf '%02d' "$e2e_shot_count")-$e2e_scenario-$1.png"
    local left=$win_x top=$win_y right=$((win_x + 540)) bottom=$((win_y + 565))

    if [ -n "${alert_wid:-}" ] && xwininfo -id "$alert_wid" > /dev/null 2>&1; then
        left=$((alert_x < left ? alert_x : left))
        top=$((alert_y < top ? alert_y : top))
        right=$((alert_x + alert_w > right ? alert_x + alert_w : right))
        bottom=$((alert_y + alert_h > bottom ? alert_y + alert_h : bottom))
    fi

    import -window root -crop "$((right - left))x$((bottom - top))+$left+$top" +repage "$file"
    say "screenshot $(basename "$file")"
}

# The colours at page points "X,Y ..." of window.png, as "R,G,B" words.
colours_at()
{
    local format="" point
    for point in "$@"; do
        format+="%[fx:int(255*p{$point}.r)],%[fx:int(255*p{$point}.g)],%[fx:int(255*p{$point}.b)] "
    done
    convert "$e2e_work/window.png" -format "$format" info:
}

# near "R,G,B" "R,G,B": within 24 on every channel.
near()
{
    local r g b R G B
    IFS=, read -r r g b <<< "$1"
    IFS=, read -r R G B <<< "$2"
    [ $((r > R ? r - R : R - r)) -le 24 ] && [ $((g > G ? g - G : G - g)) -le 24 ] && [ $((b > B ? b - B : B - b)) -le 24 ]
}

red=185,32,54
green=0,214,118
white=255,255,255
field=25,25,25
button_fill=47,45,45

# Which page the window shows, judged from a few fixed points of a fresh
# grab: start, personalise, profile-loaded, home, updates, or "other" (an
# overlay, an alert dimming the page, a page half drawn).
page_state()
{
    grab
    local c
    # The frame's left edge, the QR code's quiet zone, the name field, the
    # profile-loaded tick, the details box, the refresh icon, the two update
    # buttons.
    read -r -a c <<< "$(colours_at 63,300 78,231 250,353 100,168 64,250 456,164 110,385 300,385)"
    page=other

    if near "${c[0]}" "$red"; then
        if near "${c[1]}" "$white"; then
            page=personalise
        elif near "${c[3]}" "$green"; then
            page=profile-loaded
        elif near "${c[2]}" "$field"; then
            page=start
        elif near "${c[6]}" "$button_fill" && near "${c[7]}" "$button_fill"; then
            page=updates
        fi
    elif near "${c[4]}" "$white" && near "${c[5]}" "$red"; then
        page=home
    fi
}

# on_page NAME: the window shows that page and no alert is open.
on_page()
{
    page_state
    local alerts
    alerts=$(alert_titles)
    e2e_seen="page $page${alerts:+, alerts: $alerts}"
    [ "$page" = "$1" ] && [ -z "$alerts" ]
}

wait_page()
{
    wait_for "${2:-30}" "$1 page" on_page "$1"
    say "on the $1 page"
}

# click X Y: a left click at page coordinates; the pointer then rests in an
# empty corner so that no hover look stays on what the tests read.
click()
{
    xdotool mousemove --window "$wid" "$1" "$2" click 1 mousemove --window "$wid" 535 560
}

# click_when_quiet X Y: a click once no service operation is under way (the
# pages ignore most buttons while one runs).
click_when_quiet()
{
    wait_quiet
    click "$1" "$2"
}

# type_text TEXT: types into the program's window (an open alert would take
# the keyboard back, so none may be open).
type_text()
{
    wait_for 10 "keyboard focus on the program's window" main_window_has_focus
    xdotool type --delay 40 "$1"
}

# ocr X Y W H [lines|id]: the text in a page area of window.png (light on
# dark): one line, several lines, or one HRTF id (lower-case hexadecimal
# after "hrtf_", which the small grey face needs spelt out to be read well).
ocr()
{
    local options=(--psm 7)
    case "${5:-}" in
        lines) options=(--psm 6) ;;
        id) options=(--psm 7 -c tessedit_char_whitelist=hrtf_0123456789abcdef) ;;
    esac
    convert "$e2e_work/window.png" -crop "$3x$4+$1+$2" +repage -colorspace gray -negate -resize 300% "$e2e_work/ocr.png"
    tesseract "$e2e_work/ocr.png" - "${options[@]}" 2> /dev/null | tr '\n' ' '
}

# reads TEXT EXPECTED: the text read off the screen matches, allowing a
# misread letter here and there.
reads() { python3 "$e2e_here/text-matches.py" "$2" <<< "$1"; }

#===============================================================================
# Alert windows: each is a window of its own, titled with the alert's title.

describe_windows()
{
    local w out=""
    for w in $(find_windows .); do
        out+="\"$(xdotool getwindowname "$w" 2>/dev/null)\" "
    done
    echo "${out:-none}"
}

# The titles of the open alert windows, one per line.
alert_titles()
{
    local w
    for w in $(find_windows .); do
        [ "$w" = "$wid" ] || xdotool getwindowname "$w" 2>/dev/null
    done
}

find_alert()
{
    local w
    alert_wid=
    for w in $(find_windows .); do
        if [ "$w" != "$wid" ] && [ "$(xdotool getwindowname "$w" 2>/dev/null)" = "$1" ]; then
            alert_wid=$w
            break
        fi
    done

    local titles
    titles=$(alert_titles | paste -sd '|')
    page_state
    e2e_seen="page $page, alerts: ${titles:-none}"
    [ -n "$alert_wid" ]
}

# wait_alert TITLE [SECONDS]: waits for the alert, notes its geometry and
# reads its text into alert_text.
wait_alert()
{
    wait_for "${2:-30}" "alert \"$1\"" find_alert "$1"
    geometry "$alert_wid"
    alert_x=$geo_x alert_y=$geo_y alert_w=$geo_w alert_h=$geo_h
    import -window root -crop "${geo_w}x${geo_h}+$geo_x+$geo_y" +repage "$e2e_work/alert.png"
    convert "$e2e_work/alert.png" -colorspace gray -resize 200% "$e2e_work/alert-ocr.png"
    alert_text=$(tesseract "$e2e_work/alert-ocr.png" - 2> /dev/null | tr '\n' ' ')
    say "alert \"$1\": $alert_text"
}

# expect_alert_text TEXT: the open alert says TEXT (read off the screen).
expect_alert_text()
{
    reads "$alert_text" "$1" || { e2e_seen="alert text \"$alert_text\""; fail "the alert to say \"$1\""; }
}

alert_gone()
{
    ! xwininfo -id "$alert_wid" 2> /dev/null | grep -q IsViewable
}

alert_has_focus()
{
    xdotool windowfocus "$alert_wid" 2> /dev/null || true
    [ "$(xdotool getwindowfocus 2> /dev/null)" = "$alert_wid" ]
}

# answer_alert KEY: presses the key in the alert (Return: its only button,
# Escape: dismissed) and waits for it to close.
answer_alert()
{
    local tries
    for tries in 1 2 3; do
        e2e_seen="keyboard focus on window $(xdotool getwindowfocus 2> /dev/null), not on the alert"
        wait_for 5 "keyboard focus on the alert" alert_has_focus
        xdotool key --clearmodifiers "$1"
        e2e_seen="alert still open after $1 ($tries times)"

        # A key that reaches a window the framework has not yet taken as
        # focused is dropped; the alert, still open and focused, gets it again.
        if within 3 alert_gone; then
            alert_wid=
            return 0
        fi
        say "the alert is still open after $1; pressing it again"
    done
    fail "the alert to close after $1"
}

# click_alert_button INDEX: clicks the alert's INDEX-th button (from 1, left
# to right), found on the button row the framework lays out at 95 % of the
# alert's height, and waits for the alert to close.
click_alert_button()
{
    local row=$((alert_h * 95 / 100 - 17))
    local runs
    runs=$(convert "$e2e_work/alert.png" -crop "${alert_w}x1+0+$row" +repage txt:- | awk -v w="$alert_w" '
        NR > 1 {
            split ($1, at, ","); x = at[1] + 0
            inside = (x >= 4 && x < w - 4 && $3 != "#D2DFE1")
            if (inside) { if (start < 0) start = x; last = x }
            else if (start >= 0) { if (last - start > 20) print int ((start + last) / 2); start = -1 }
        }
        BEGIN { start = -1 }')
    local x
    x=$(sed -n "${1}p" <<< "$runs")
    [ -n "$x" ] || fail "no button $1 on the alert (found at x: $(tr '\n' ' ' <<< "$runs"))"
    xdotool mousemove "$((alert_x + x))" "$((alert_y + row))" click 1 mousemove --window "$wid" 535 560
    e2e_seen="alert still open after a click on button $1"
    wait_for 10 "closing of the alert" alert_gone
    alert_wid=
}

#===============================================================================
# What the program leaves on disk and in the browser.

# bank KEY: a value of the bank on disk, e.g. "preset.0.hrtf_id" or
# "bank.lastSelectedPreset"; empty when absent.
bank()
{
    [ -f "$e2e_data/Presets" ] || return 0
    python3 "$e2e_here/read-bank.py" "$e2e_data/Presets" | sed -n "s/^$1=//p"
}

bank_profiles()
{
    [ -f "$e2e_data/Presets" ] || return 0
    python3 "$e2e_here/read-bank.py" "$e2e_data/Presets" | sed -n 's/^preset\.[0-9]*\.profileName=//p'
}

# A digest of every file in the data folder, to show that a failure lost nothing.
data_digest()
{
    [ -d "$e2e_data" ] || { echo "no data folder"; return 0; }
    (cd "$e2e_data" && find . -type f -print0 | sort -z | xargs -0 -r sha256sum)
}

# check_hrtf ID: the HRTF file and its backup are what the service serves.
check_hrtf()
{
    local id=$1
    [ -n "$id" ] || fail "an empty HRTF id"
    [ -f "$e2e_data/$id" ] || fail "no HRTF file $id"
    cmp -s "$e2e_data/$id" "$e2e_data/${id}_" || fail "the backup of HRTF $id differs"
    # (hop=1: served at once, also by a stand-in that redirects first)
    curl -s --cacert "$e2e_ca" -o "$e2e_work/served" "https://127.0.0.1:8443/hrtf/$id?hop=1" || fail "the stand-in does not serve HRTF $id"
    cmp -s "$e2e_data/$id" "$e2e_work/served" || fail "HRTF file $id differs from what the service serves"
}

browser_count() { grep -c . "$e2e_work/browser.log" || true; }

# browser_opened COUNT: the browser has been asked COUNT times in all; the
# last address is in browser_last.
browser_opened()
{
    # One reading of the log for both, so that a launch recorded in between
    # cannot pair a new count with the last address before it.
    local log count
    log=$(cat "$e2e_work/browser.log")
    count=$(grep -c . <<< "$log" || true)
    browser_last=$(tail -n 1 <<< "$log")
    e2e_seen="browser asked $count times, last \"$browser_last\""
    [ "$count" = "$1" ]
}
