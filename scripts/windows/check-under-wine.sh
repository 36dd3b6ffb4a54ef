#!/usr/bin/env bash
# Checks the Windows build under Wine, in a fresh Wine prefix on its own Xvfb
# display, against the stand-in service: installs the program silently with
# its installer (and, for a signed build, verifies the installed program's
# and uninstaller's signatures), starts it from its Start-menu entry, checks the window's
# title and client size, and walks the first start: the software-update
# notice (answered "Remind Me Later"), a name, Begin, the QR code on the
# personalise page (read with zbarimg), a processed upload through the
# stand-in's operator command, Next, the HRTF download into
# C:\ProgramData\Common Files\Vantora\Korvane\ with its backup and the bank,
# the profile-loaded page, HOME, and the updates page from the refresh icon
# and back. Then it checks that a second start opens no second window, closes
# the program and checks the embedded fonts with the font probe. The same
# first start then runs on displays at 150 % and 200 % (Wine's DPI 144 and
# 192), each on an emptied data folder and a reset account, so that each page
# shows what it showed at 100 %: the window's size is checked, and each
# page's screenshot is compared with the 100 % one scaled up (the share of
# differing pixels is printed). Those two starts name their profiles in Han
# and in Arabic (pasted, as such names are often entered), and each page
# that shows the name is read back with OCR. Last, it uninstalls. Screenshots of every
# page at every scale go to out/windows-check/ (or AURALIS_CHECK_OUT).
#
# Runs as root in a private mount and network namespace: the stand-in gets
# the program's compiled-in address 127.0.0.1:8443 on a loopback of its own,
# and Wine's TLS (GnuTLS, through the system's CA bundle) trusts the
# stand-in's CA through a bind-mounted copy of that bundle. Wine matches
# certificate names by DNS name only; the stand-in's certificate names
# 127.0.0.1 as a DNS name too. Nothing outside the namespace changes.
#
# Usage: scripts/windows/check-under-wine.sh   (after scripts/windows/build.sh
#        and a native build of the stand-in; scripts/windows/check.sh does all)
#   BUILD_DIR              the Windows build folder (default build-win/)
#   AURALIS_STANDIN        the stand-in service, built for this machine
#                          (default build/tools/standin/auralis-standin)
#   AURALIS_KEEP_PREFIX    set to 1 to keep the Wine prefix for a look afterwards
#   AURALIS_SIGNING_CA     the certificate of the authority that signed the
#                          build: the installed program's and uninstaller's
#                          signatures are verified against it
set -euo pipefail
top=$(cd "$(dirname "$0")/../.." && pwd)
build=${BUILD_DIR:-$top/build-win}
out=${AURALIS_CHECK_OUT:-$top/out/windows-check}
standin=${AURALIS_STANDIN:-$top/build/tools/standin/auralis-standin}
service=https://127.0.0.1:8443

#===============================================================================
# Outside: into a private mount and network namespace.
if [ -z "${AURALIS_WINE_CHECK_STAGE:-}" ]; then
    if [ "$(id -u)" != 0 ]; then
        echo "wine-check: needs root for its private namespaces" >&2
        exit 1
    fi

    if [ ! -x "$standin" ]; then
        echo "wine-check: no stand-in service at $standin (scripts/windows/check.sh builds it)" >&2
        exit 1
    fi

    if [ ! -f "$build/windows-build.env" ]; then
        echo "wine-check: no Windows build in $build (run scripts/windows/build.sh)" >&2
        exit 1
    fi

    export AURALIS_WINE_CHECK_STAGE=namespace AURALIS_STANDIN="$standin"
    exec unshare --mount --net --propagation private "$0" "$@"
fi

#===============================================================================
# Inside the namespace: the stand-in on 127.0.0.1:8443, its CA trusted, then
# the check itself on a display of its own.
if [ "$AURALIS_WINE_CHECK_STAGE" = namespace ]; then
    ip link set lo up

    work=$(mktemp -d /tmp/auralis-wine-check.XXXXXX)
    state="$work/standin"
    standin_pid=

    cleanup()
    {
        if [ -n "$standin_pid" ]; then
            kill "$standin_pid" 2>/dev/null || true
            wait "$standin_pid" 2>/dev/null || true
        fi

        umount /etc/ssl/certs/ca-certificates.crt 2>/dev/null || true
        rm -rf "$work"
    }
    trap cleanup EXIT

    ca=$("$standin" ca-path --state "$state")
    cat /etc/ssl/certs/ca-certificates.crt "$ca" > "$work/bundle.crt"
    mount --bind "$work/bundle.crt" /etc/ssl/certs/ca-certificates.crt

    "$standin" serve --state "$state" > "$work/standin.log" 2>&1 &
    standin_pid=$!

    if ! "$top/scripts/wait-for-standin.sh" "$ca" "$service" "$standin_pid"; then
        echo "wine-check: the stand-in service did not start:" >&2
        cat "$work/standin.log" >&2
        exit 1
    fi

    # A newer, optional release: the first start announces it.
    "$standin" software-update --latest 0.0.11 --notes "Faster downloads and a clearer start page." \
        --optional --state "$state" > /dev/null

    export AURALIS_WINE_CHECK_STAGE=display AURALIS_WINE_CHECK_WORK="$work" AURALIS_WINE_CHECK_CA="$ca"
    status=0
    # Large enough for the window at 200 %.
    xvfb-run -a -s "-noreset -screen 0 1920x1440x24" "$0" "$@" || status=$?
    exit "$status"
fi

#===============================================================================
# On the display, inside the namespace.
work=$AURALIS_WINE_CHECK_WORK
ca=$AURALIS_WINE_CHECK_CA
state="$work/standin"

. "$build/windows-build.env"
data_folder_name='Common Files\Vantora\Korvane' # below ProgramData, as the program computes it
profile_name="Wine Walker"
announced_update_title="A new version of Auralis is available!"

export WINEPREFIX
WINEPREFIX=$(mktemp -d /tmp/auralis-wine.XXXXXX)
export WINEDEBUG=-all WINEARCH=win64 WINEDLLOVERRIDES="mscoree,mshtml="

cleanup()
{
    timeout 30 wineserver -k 2>/dev/null || true
    if [ "${AURALIS_KEEP_PREFIX:-0}" = 1 ]; then
        echo "wine-check: kept the Wine prefix $WINEPREFIX"
    else
        rm -rf "$WINEPREFIX"
    fi
}
trap cleanup EXIT

rm -rf "$out"
mkdir -p "$out"

passed=0
failed=0

# The display scale of the walk under way, in per cent: 100 at Wine's DPI of
# 96. The walk names the points it clicks and looks at in the page's own
# coordinates (540 x 565); they are scaled to the window's pixels.
scale=100

scaled()
{
    echo $((($1 * scale + 50) / 100))
}

# What a check or a screenshot at another scale than 100 % is known by.
scale_label() { [ "$scale" -eq 100 ] || echo "at $scale %: "; }
scale_suffix() { [ "$scale" -eq 100 ] || echo "-$scale"; }

check()
{
    local what
    what="$(scale_label)$1"
    shift
    if "$@"; then
        passed=$((passed + 1))
        echo "wine-check: ok: $what"
    else
        failed=$((failed + 1))
        echo "wine-check: FAILED: $what" >&2
        return 1
    fi
}

unix_path()
{
    winepath -u "$1" 2>/dev/null
}

# Waits for every Wine process of the prefix to end, for at most $1 seconds.
wine_settles()
{
    timeout "$1" wineserver --wait
}

program_windows_path="C:\\Program Files\\$AURALIS_COMPANY_NAME\\$AURALIS_PRODUCT_NAME\\$AURALIS_PRODUCT_NAME.exe"
uninstall_key="HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\$AURALIS_PRODUCT_NAME"

#-------------------------------------------------------------------------------
# Windows on the display.

# The program's windows: visible top-level windows with its exact title.
program_windows()
{
    "$top/scripts/x11-find-windows.sh" "^${AURALIS_PRODUCT_NAME}\$" || true
}

# The titles of the other visible named windows: the program's alerts.
alert_titles()
{
    local id name
    for id in $("$top/scripts/x11-find-windows.sh" '.'); do
        name=$(xdotool getwindowname "$id" 2>/dev/null) || continue
        [ -n "$name" ] && [ "$name" != "$AURALIS_PRODUCT_NAME" ] && echo "$name"
    done
    return 0
}

window_with_title()
{
    "$top/scripts/x11-find-windows.sh" "^$1\$" | head -n1
}

has_window_titled() { [ -n "$(window_with_title "$1")" ]; }

wait_for_windows()
{
    local count=$1 seconds=$2
    for _ in $(seq 1 $((seconds * 4))); do
        [ "$(program_windows | wc -l)" -eq "$count" ] && return 0
        sleep 0.25
    done
    return 1
}

screenshot()
{
    local name
    name="$1$(scale_suffix)"
    import -window root "$out/$name.png"
    [ -n "${2:-}" ] && import -window "$2" "$out/$name-window.png"
    echo "wine-check: screenshot $out/$name.png"
}

client_size_is()
{
    local info
    info=$(xwininfo -id "$1")
    [ "$(awk '/Width:/ { print $2 }' <<<"$info")x$(awk '/Height:/ { print $2 }' <<<"$info")" = "$2" ]
}

# True when the file's Authenticode signature verifies against the authority
# that signed the build under check (scripts/windows/check-signing.sh).
signature_verifies()
{
    osslsigncode verify -CAfile "$AURALIS_SIGNING_CA" -in "$1" > /dev/null 2>&1
}

registry_value_is()
{
    wine reg query "$uninstall_key" /v "$1" 2>/dev/null | tr -d '\r' | grep -q "REG_SZ[[:space:]]*$2\$"
}

#-------------------------------------------------------------------------------
# The walk's senses and hands, on the program's window $window.

# The colour of a point of the page, as "R,G,B".
pixel()
{
    local x y
    x=$(scaled "$1")
    y=$(scaled "$2")
    import -window "$window" "$work/pixel.png"
    convert "$work/pixel.png" -format "%[fx:int(255*p{$x,$y}.r)],%[fx:int(255*p{$x,$y}.g)],%[fx:int(255*p{$x,$y}.b)]" info:
}

# True when the pixel is within 12 of the colour on every channel.
pixel_is()
{
    local r g b want_r want_g want_b
    IFS=, read -r r g b <<<"$(pixel "$1" "$2")"
    IFS=, read -r want_r want_g want_b <<<"$3"
    [ $((r > want_r ? r - want_r : want_r - r)) -le 12 ] \
        && [ $((g > want_g ? g - want_g : want_g - g)) -le 12 ] \
        && [ $((b > want_b ? b - want_b : want_b - b)) -le 12 ]
}

click()
{
    xdotool mousemove --sync --window "$window" "$(scaled "$1")" "$(scaled "$2")" click 1
}

# True when some pixel of an area of the page (X Y WIDTH HEIGHT) is within
# 12 % of the colour ("#RRGGBB").
area_shows()
{
    import -window "$window" "$work/area.png"
    [ "$(convert "$work/area.png" -crop "$(scaled "$3")x$(scaled "$4")+$(scaled "$1")+$(scaled "$2")" +repage \
        -alpha off -fuzz 12% -fill black +opaque "$5" -fill white -opaque "$5" -format '%[fx:maxima.r]' info:)" = 1 ]
}

green=0,214,118 # the valid and done ticks
red=185,32,54   # the red accent: filled submission dots, button outlines
valid_icon_on_start_page() { pixel_is 444 352 "$green"; }
tick_on_profile_loaded_page() { pixel_is 100 168 "$green"; }
# Five dots for the image submissions left: after one upload, four are filled.
home_page_shows_four_submissions_left() { pixel_is 390 298 "$red" && ! pixel_is 418 298 "$red"; }
# The updates page's back arrow, a red disc where the home page has its
# profile selector (looked at below the arrow's shaft, away from the
# selector's outline); an available update's button is outlined in red.
updates_page_shown() { pixel_is 99 174 "$red"; }
updates_page_offers_software_update() { updates_page_shown && area_shows 288 376 160 36 "#B92036"; }

qr_code_on_page()
{
    import -window "$window" "$work/qr.png"
    zbarimg --raw -q "$work/qr.png" > "$work/qr.txt" 2>/dev/null && grep -q "/upload/" "$work/qr.txt"
}

# Polls a condition for up to $2 seconds; an alert the walk did not ask for
# ends the wait at once. On failure, says what was on the display.
wait_until()
{
    poll_for "$1" "$2" stop-on-alert "${@:3}"
}

# The same for a condition that an open alert does not end.
wait_until_despite_alerts()
{
    poll_for "$1" "$2" ignore-alerts "${@:3}"
}

poll_for()
{
    local what=$1 seconds=$2 on_alert=$3
    shift 3
    local deadline=$(($(date +%s) + seconds)) alerts
    while :; do
        "$@" && return 0
        if [ "$on_alert" = stop-on-alert ]; then
            alerts=$(alert_titles)
            if [ -n "$alerts" ]; then
                echo "wine-check: while waiting until $what, an alert appeared: $(tr '\n' '|' <<<"$alerts")" >&2
                break
            fi
        fi
        [ "$(date +%s)" -ge "$deadline" ] && break
        sleep 0.25
    done
    seen_on_failure "$what"
    return 1
}

seen_on_failure()
{
    local name
    name="failure-$(tr -c 'a-zA-Z0-9\n' '-' <<<"$1" | head -c 60)"
    import -window root "$out/$name.png" 2>/dev/null || true
    {
        echo "wine-check: not seen: $1 (screenshot $out/$name.png)"
        echo "wine-check: visible windows: $(xdotool search --onlyvisible --name '.' getwindowname %@ 2>/dev/null | tr '\n' '|')"
        echo "wine-check: the stand-in's last requests:"
        tail -n 15 "$work/standin.log" | sed 's/^/    /'
    } >&2
}

# The centres of the buttons of an alert window, left to right: the buttons
# are the only things in an alert outlined in the red accent.
alert_button_centres()
{
    import -window "$1" "$work/alert.png"
    convert "$work/alert.png" -alpha off -fuzz 12% -fill black +opaque "#B92036" -fill white -opaque "#B92036" \
        -define connected-components:verbose=true -define connected-components:area-threshold=40 \
        -connected-components 8 null: 2>/dev/null \
        | awk '/\(255,255,255\)|gray\(255\)|white/ { split($3, c, ","); printf "%d %d\n", c[1], c[2] }' \
        | sort -n
}

# Presses the Nth button (1 = leftmost) of the alert with the given title.
press_alert_button()
{
    local alert centre
    alert=$(window_with_title "$1")
    [ -n "$alert" ] || return 1
    centre=$(alert_button_centres "$alert" | sed -n "${2}p")
    [ -n "$centre" ] || return 1
    # shellcheck disable=SC2086 # two coordinates
    xdotool mousemove --sync --window "$alert" $centre click 1
}

alert_shows_buttons() { [ "$(alert_button_centres "$(window_with_title "$1")" | wc -l)" -eq "$2" ]; }
alert_is_gone() { ! has_window_titled "$1"; }

# The shared data folder's HRTF files: everything but the bank and backups.
hrtf_files()
{
    local f base
    for f in "$data_folder"/*; do
        [ -f "$f" ] || continue
        base=$(basename "$f")
        case "$base" in Presets | Presets_ | *_ | *.tmp) ;; *) echo "$base" ;; esac
    done
}

one_hrtf_file() { [ "$(hrtf_files | wc -l)" -eq 1 ]; }

served_hrtf_matches()
{
    curl -s --cacert "$ca" -o "$work/served-hrtf" "$service/hrtf/$1" && cmp -s "$data_folder/$1" "$work/served-hrtf"
}

#===============================================================================
# The first start against the stand-in service, from the start page to the
# home page. Stops at the first step that fails.
walk_first_start()
{
    # The first start checks for newer software; the stand-in announces one.
    check "the software-update notice \"$announced_update_title\" appears" \
        wait_until "the software-update notice appears" 60 has_window_titled "$announced_update_title" || return 1
    check "the notice offers two buttons" \
        wait_until_despite_alerts "the notice shows two buttons" 10 alert_shows_buttons "$announced_update_title" 2 || return 1
    screenshot 02-software-update-notice "$(window_with_title "$announced_update_title")"
    check "\"Remind Me Later\" is pressed" press_alert_button "$announced_update_title" 1 || return 1
    # Wine waits up to 2 s for each of the alert's windows (the alert and its
    # shadows) to be withdrawn, which only a window manager would confirm.
    check "the notice closes" wait_until_despite_alerts "the notice closes" 40 alert_is_gone "$announced_update_title" || return 1

    #---------------------------------------------------------------------------
    click 250 353
    enter_name "$profile_name"
    check "the start page accepts the name \"$profile_name\"" \
        wait_until "the name is judged valid" 15 valid_icon_on_start_page || return 1
    screenshot 03-start-page-name-typed "$window"
    check_name_reads_back "the name entry" 03-start-page-name-typed 84 341 328 24

    click 256 418
    check "Begin leads to the personalise page with a QR code" \
        wait_until "the personalise page shows a QR code" 60 qr_code_on_page || return 1
    local qr_shown_at
    qr_shown_at=$(date +%s)
    screenshot 04-personalise-page "$window"
    check_name_reads_back "the \"Logged in as\" line" 04-personalise-page 112 154 312 35 --after-gap
    local code
    code=$(cat "$work/qr.txt")
    echo "wine-check: QR code: $code"
    check "the QR code leads to the stand-in's upload page" \
        test "$(curl -s --cacert "$ca" -o /dev/null -w '%{http_code}' "$code")" = 200 || return 1

    #---------------------------------------------------------------------------
    check "the stand-in processes an upload for this device" \
        bash -c '"$1" upload latest --state "$2" >/dev/null' _ "$standin" "$state" || return 1

    # Like a listener who scans and uploads, leave the service alone for
    # longer than it keeps an idle connection open (5 s), so that Next's
    # check has to go over a new connection.
    local idle=$((qr_shown_at + 7 - $(date +%s)))
    [ "$idle" -gt 0 ] && sleep "$idle"

    click 309 406
    check "Next downloads the HRTF and shows the profile-loaded page" \
        wait_until "the profile-loaded page appears" 60 tick_on_profile_loaded_page || return 1

    #---------------------------------------------------------------------------
    # What the download left in the shared data folder.
    local hrtf_id
    check "the bank \"Presets\" is written" test -f "$data_folder/Presets" || return 1
    check "the bank's backup \"Presets_\" is written" test -f "$data_folder/Presets_" || return 1
    check "the bank holds the profile \"$profile_name\"" grep -aqF "$profile_name" "$data_folder/Presets" || return 1
    check "exactly one HRTF file is written (found: $(hrtf_files | tr '\n' ' '))" one_hrtf_file || return 1
    hrtf_id=$(hrtf_files)
    echo "wine-check: HRTF $hrtf_id, $(stat -c %s "$data_folder/$hrtf_id") bytes"
    check "the HRTF file is what the stand-in serves for $hrtf_id" served_hrtf_matches "$hrtf_id" || return 1
    check "the HRTF file's backup \"${hrtf_id}_\" is identical" cmp -s "$data_folder/$hrtf_id" "$data_folder/${hrtf_id}_" || return 1
    check "the bank records the HRTF id" grep -aqF "$hrtf_id" "$data_folder/Presets" || return 1

    # The page shows the plug-in's picture from the stand-in (or, after 6 s,
    # its own copy), then lets HOME lead on.
    sleep 2
    screenshot 05-profile-loaded-page "$window"

    leave_profile_loaded_page() { click 427 168; sleep 0.5; ! tick_on_profile_loaded_page; }
    check "HOME leaves the profile-loaded page" \
        wait_until "HOME leaves the profile-loaded page" 20 leave_profile_loaded_page || return 1
    check "the home page shows four of five image submissions left" \
        wait_until "the home page shows the submissions left" 20 home_page_shows_four_submissions_left || return 1
    sleep 1
    screenshot 06-home-page "$window"
    check_name_reads_back "the profile selector" 06-home-page 75 161 221 38

    #---------------------------------------------------------------------------
    # The updates page offers the release the stand-in announces; Back
    # returns. The home page ignores the refresh icon while its own check
    # runs, so the click is repeated until the page changes.
    open_updates_page() { click 457 180; sleep 0.5; updates_page_shown; }
    check "the refresh icon leads to the updates page" \
        wait_until "the refresh icon leads to the updates page" 20 open_updates_page || return 1
    check "the updates page offers the announced software update" \
        wait_until "the updates page offers the software update" 20 updates_page_offers_software_update || return 1
    sleep 1
    screenshot 07-updates-page "$window"

    # The back arrow is clicked at its top, above where the home page has its
    # profile selector, so that a repeated click cannot open the selector.
    leave_updates_page() { click 93 157; sleep 1; ! updates_page_shown; }
    check "Back leads from the updates page to the home page" \
        wait_until "Back leaves the updates page" 20 leave_updates_page || return 1
    check "the home page shows four of five image submissions left again" \
        wait_until "the home page shows the submissions left again" 20 home_page_shows_four_submissions_left || return 1
}

# Enters a name in the focused entry: typed when it is plain ASCII, pasted
# through the clipboard otherwise (what a user with no keyboard layout for
# the script does, and what xdotool cannot type into Wine).
enter_name()
{
    if LC_ALL=C grep -q '^[ -~]*$' <<<"$1"; then
        xdotool type --delay 60 "$1"
    else
        printf '%s' "$1" | xclip -selection clipboard -loops 1 &
        sleep 0.5
        xdotool key ctrl+v
        wait || true
    fi
}

# The OCR language that reads the walk's profile name, empty for a Latin one.
name_language()
{
    case "$profile_name" in
        "$han_name") echo chi_sim ;;
        "$arabic_name") echo ara ;;
    esac
}

# Reads the walk's profile name back from an area of a screenshot, and says
# what was read.
name_reads_back()
{
    local read status=0
    read=$(python3 "$top/tests/e2e/name-reads-back.py" "$1" "$2" "$3" "$profile_name" "${@:4}") || status=$?
    echo "wine-check: read \"$read\""
    return "$status"
}

# Reads the profile's name back from a page area (in the page's own
# coordinates, scaled as the walk is) of a window screenshot; a Latin name
# needs no reading, the pages' own checks see it.
check_name_reads_back()
{
    local where=$1 shot="$out/$2$(scale_suffix)-window.png" language px py
    language=$(name_language)
    [ -n "$language" ] || return 0
    IFS='x+' read -r _ _ px py <<<"$(page_area "$shot")"
    local area
    area="$(scaled "$5")x$(scaled "$6")+$((px + $(scaled "$3")))+$((py + $(scaled "$4")))"
    check "$where shows \"$profile_name\" as written" name_reads_back "$shot" "$area" "$language" "${@:7}" || true
}

#===============================================================================
started=$(date +%s)
echo "wine-check: preparing a fresh Wine prefix in $WINEPREFIX"
wineboot --init >/dev/null 2>&1
if ! wine_settles 120; then
    echo "wine-check: the new Wine prefix did not settle within 120 s" >&2
    exit 1
fi

check "Wine's CA bundle holds the stand-in's CA" grep -qF "$(sed -n 2p "$ca")" /etc/ssl/certs/ca-certificates.crt || true

# Windows comes with faces for Han and Arabic; a new Wine prefix has none.
# Give it the machine's Noto faces, registered as Windows registers its own.
install_wine_font()
{
    cp "$1" "$(unix_path 'C:\windows\Fonts')/" &&
        wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\Fonts' /v "$2 (TrueType)" /t REG_SZ /d "$(basename "$1")" /f > /dev/null 2>&1
}
check "Wine has a face for Han" install_wine_font /usr/share/fonts/opentype/noto/NotoSansCJK-Regular.ttc "Noto Sans CJK" || true
check "Wine has a face for Arabic" install_wine_font /usr/share/fonts/truetype/noto/NotoSansArabic-Regular.ttf "Noto Sans Arabic" || true

#===============================================================================
# Install silently, as an administrator would.
install_status=0
timeout 300 wine "$AURALIS_INSTALLER" /S || install_status=$?
wine_settles 120 || true
program_dir=$(unix_path "C:\\Program Files\\$AURALIS_COMPANY_NAME\\$AURALIS_PRODUCT_NAME")
start_menu_entry="$(unix_path 'C:\ProgramData\Microsoft\Windows\Start Menu\Programs')/$AURALIS_PRODUCT_NAME.lnk"
data_folder="$(unix_path 'C:\ProgramData')/${data_folder_name//\\//}"

{
    check "the installer exits with 0 (it exited with $install_status)" test "$install_status" -eq 0
    check "the program is installed in $program_dir" test -f "$program_dir/$AURALIS_PRODUCT_NAME.exe"
    check "the installed program keeps its imports, icons, manifest and version" \
        python3 "$top/scripts/windows/verify-exe.py" "$program_dir/$AURALIS_PRODUCT_NAME.exe" "$AURALIS_PRODUCT_NAME" "$AURALIS_VERSION"
    check "the font licence is installed" cmp -s "$program_dir/LICENSE_FONT.txt" "$top/resources/fonts/LICENSE_FONT"
    check "the uninstaller is installed" test -f "$program_dir/Uninstall.exe"
    check "the Start-menu entry exists" test -f "$start_menu_entry"
    check "the shared data folder C:\\ProgramData\\$data_folder_name exists" test -d "$data_folder"
    check "the uninstall entry names version $AURALIS_VERSION" registry_value_is DisplayVersion "$AURALIS_VERSION"
    if [ -n "${AURALIS_SIGNING_CA:-}" ]; then
        check "the installed program's signature verifies" signature_verifies "$program_dir/$AURALIS_PRODUCT_NAME.exe"
        check "the installed uninstaller's signature verifies" signature_verifies "$program_dir/Uninstall.exe"
    fi
} || true

#===============================================================================
# Starts the program from its Start-menu entry and finds its window
# ($window). Wine's own output goes to a log: started programs keep it open.
start_program()
{
    window=
    wine start /unix "$start_menu_entry" >> "$out/wine.log" 2>&1 < /dev/null
    check "one window titled \"$AURALIS_PRODUCT_NAME\" appears" wait_for_steady_window 60
}

# Waits up to $1 seconds for the program's one window to stay the same for a
# second, and takes it as $window.
wait_for_steady_window()
{
    local deadline=$(($(date +%s) + $1)) found
    while [ "$(date +%s)" -lt "$deadline" ]; do
        found=$(program_windows)
        if [ -n "$found" ] && [ "$(wc -l <<<"$found")" -eq 1 ]; then
            sleep 1
            if [ "$(program_windows)" = "$found" ]; then
                window=$found
                return 0
            fi
        fi
        sleep 0.25
    done
    return 1
}

# Closes it as the title bar's close button would. The window refuses while
# one of its service operations runs, so the request is repeated until it
# goes. Whatever is left of the program then goes too, so nothing after it
# waits for it.
close_program()
{
    request_close()
    {
        python3 "$top/scripts/x11-close-window.py" "$window" || true
        wait_for_windows 0 3
    }
    check "the program closes on a close request" wait_until "the program closes" 60 request_close || true

    if [ -f "$data_folder/Presets" ]; then
        check "the bank saved on closing still holds the profile" grep -aqF "$profile_name" "$data_folder/Presets" || true
    fi

    if ! wine_settles 30; then
        echo "wine-check: the program did not end; ending every Wine process of the prefix" >&2
        timeout 30 wineserver -k || true
    fi
}

# The part of a window's screenshot that the page covers, as
# "WIDTHxHEIGHT+X+Y": the window without the rows and columns of pure black
# along its edges, which the frame can leave unpainted on scaled displays
# (docs/architecture.md, "Windows").
page_area()
{
    local width height x y
    IFS='x+' read -r width height x y <<<"$(convert "$1" -bordercolor black -border 1 -format '%@' info:)"
    echo "${width}x${height}+$((x - 1))+$((y - 1))"
}

# True when two numbers differ by at most the third.
within() { [ $(($1 - $2)) -le "$3" ] && [ $(($2 - $1)) -le "$3" ]; }
page_has_scaled_size() { within "$page_width" "$(scaled 540)" 1 && within "$page_height" "$(scaled 565)" 1; }

# Sets the DPI that Wine gives the programs started from now on. Wine 8 reads
# it from HKCU\Control Panel\Desktop, before the value a new prefix keeps
# under HKEY_CURRENT_CONFIG\Software\Fonts (96).
set_wine_dpi()
{
    wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f > /dev/null 2>&1
}

# Takes the data folder and the device's account back to before the first
# start, keeping the installed folder itself.
forget_the_first_start()
{
    find "$data_folder" -mindepth 1 -delete && "$standin" reset latest --state "$state" > /dev/null
}

#===============================================================================
# First start, at 100 %.
if start_program; then
    {
        check "the window's title is exactly \"$AURALIS_PRODUCT_NAME\"" test "$(xdotool getwindowname "$window")" = "$AURALIS_PRODUCT_NAME"
        check "the client area is 540 x 565" client_size_is "$window" 540x565
        check "the window carries the program's icon" bash -c "xprop -id '$window' _NET_WM_ICON | grep -q 'Icon (32 x 32)'"
    } || true
    screenshot 01-first-start "$window"

    walk_first_start || echo "wine-check: the walk of the first start stopped there" >&2

    #===========================================================================
    # A second start hands over to the running program and ends.
    second_status=0
    timeout 60 wine "$program_windows_path" > /dev/null 2>&1 < /dev/null || second_status=$?
    {
        check "a second start ends by itself (status $second_status)" test "$second_status" -ne 124
        sleep 3
        check "a second start opens no second window" test "$(program_windows | wc -l)" -eq 1
        check "the first window is still there" test "$(program_windows | head -n1)" = "$window"
    } || true
    screenshot 08-after-second-start "$window"

    close_program
fi

#===============================================================================
# The embedded faces as GDI draws them (the pages' own text shows in the
# screenshots above).
probe_status=0
(cd "$out" && timeout 120 wine "$build/tools/fontprobe/auralis_font_probe.exe" 09-font-probe.png) | tr -d '\r' || probe_status=$?
check "the font probe finds both embedded faces in use" test "$probe_status" -eq 0 || true

#===============================================================================
# The first start again on displays at 150 % and 200 %, Wine's DPI at 144
# and 192. The data folder is emptied and the device's account reset before
# each, so that every page shows what it showed at 100 %. The window is 1.5
# and 2 times as large; the page must cover it but for what Wine's frame
# leaves unpainted (see page_area).
han_name=$(printf '\xe6\x9d\x8e\xe9\x9b\xb7')         # Li Lei
arabic_name=$(printf '\xd9\x85\xd8\xad\xd9\x85\xd8\xaf') # Muhammad
latin_name=$profile_name
for dpi in 144 192; do
    scale=$((dpi * 100 / 96))
    [ "$dpi" = 144 ] && profile_name=$han_name || profile_name=$arabic_name
    check "Wine's DPI is set to $dpi" set_wine_dpi "$dpi" || continue
    check "the data folder and the account are back to before the first start" forget_the_first_start || continue

    start_program || continue

    import -window "$window" "$work/window.png"
    window_width=$(identify -format '%w' "$work/window.png")
    window_height=$(identify -format '%h' "$work/window.png")
    IFS='x+' read -r page_width page_height _ _ <<<"$(page_area "$work/window.png")"
    echo "wine-check: $(scale_label)the window is $window_width x $window_height, the page covers $page_width x $page_height of it"
    {
        check "the page is $(scaled 540) x $(scaled 565) (within a pixel)" page_has_scaled_size
        check "the window exceeds the page by at most 2 pixels across and 1 down" \
            test $((window_width - page_width)) -le 2 -a $((window_height - page_height)) -le 1
    } || true
    screenshot 01-first-start "$window"

    walk_first_start || echo "wine-check: $(scale_label)the walk of the first start stopped there" >&2
    close_program
done
scale=100
profile_name=$latin_name

#===============================================================================
# Each page at 150 % and 200 % against its 100 % screenshot enlarged to the
# same size (ImageMagick's default filter). A pixel counts as differing when
# a channel differs by more than 15 %, so that edges the enlarged screenshot
# shows a little softer pass; the scaled pages' sharper text and artwork
# still differ along their outlines, which makes up nearly all of the share.
# A misplaced or clipped element would differ over its whole area. The QR
# code, a new one for every request, is left out of the personalise page,
# and the profile's name (another one at each scale) out of every page that
# shows it.
# The figures are printed, and the differences drawn into
# difference-PAGE-SCALE.png.
compare_with_100_percent()
{
    local name=$1 percent=$2 leave_out=${3:-} reference="$out/$1-window.png" shot="$out/$1-$2-window.png"
    local area width height differing
    if [ ! -f "$reference" ] || [ ! -f "$shot" ]; then
        echo "wine-check: at $percent %: $name: no screenshot to compare" >&2
        return 0
    fi

    area=$(page_area "$shot")
    IFS='x+' read -r width height _ _ <<<"$area"
    convert "$shot" -crop "$area" +repage "$work/scaled.png"
    convert "$reference" -resize "${width}x${height}!" "$work/enlarged.png"

    local lx ly lw lh rectangle
    while IFS= read -r -d ';' rectangle; do
        read -r lx ly lw lh <<<"$rectangle"
        for image in "$work/scaled.png" "$work/enlarged.png"; do
            convert "$image" -fill black -draw "rectangle $((lx * percent / 100)),$((ly * percent / 100)) $(((lx + lw) * percent / 100)),$(((ly + lh) * percent / 100))" "$image"
        done
    done <<<"${leave_out:+$leave_out;}"

    differing=$(compare -metric AE -fuzz 15% "$work/enlarged.png" "$work/scaled.png" "$out/difference-$name-$percent.png" 2>&1 || true)
    echo "wine-check: at $percent %: $name: $(awk -v d="$differing" -v n=$((width * height)) 'BEGIN { printf "%.2f", 100 * d / n }') % of ${width} x ${height} pixels differ from the 100 % screenshot enlarged"
}

for percent in 150 200; do
    compare_with_100_percent 02-software-update-notice "$percent"
    compare_with_100_percent 03-start-page-name-typed "$percent" "82 340 334 28"
    compare_with_100_percent 04-personalise-page "$percent" "75 228 172 172;112 154 312 35"
    compare_with_100_percent 05-profile-loaded-page "$percent"
    compare_with_100_percent 06-home-page "$percent" "75 161 221 38"
    compare_with_100_percent 07-updates-page "$percent"
done

#===============================================================================
# Uninstall: the program goes, the shared data folder and its profile stay.
bank_written=0
[ -f "$data_folder/Presets" ] && bank_written=1
timeout 120 wine "$program_dir/Uninstall.exe" /S || true
wine_settles 120 || true
{
    check "the uninstaller removes the program" test ! -e "$program_dir/$AURALIS_PRODUCT_NAME.exe"
    check "the uninstaller removes the Start-menu entry" test ! -e "$start_menu_entry"
    check "the uninstaller removes the uninstall entry" bash -c "! wine reg query '$uninstall_key' >/dev/null 2>&1"
    check "the uninstaller keeps the shared data folder" test -d "$data_folder"
    if [ "$bank_written" = 1 ]; then
        check "the uninstaller keeps the bank" test -f "$data_folder/Presets"
    fi
} || true

echo "wine-check: took $(($(date +%s) - started)) s; screenshots in $out"
echo "wine-check: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
