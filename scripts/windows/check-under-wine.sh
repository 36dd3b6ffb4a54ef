#!/usr/bin/env bash
# Checks the Windows build under Wine, in a fresh Wine prefix on its own Xvfb
# display: installs the program silently with its installer, starts it from
# its Start-menu entry, checks the window's title and client size, takes
# screenshots, checks that a second start opens no second window, checks the
# embedded fonts with the font probe, closes the program and uninstalls it.
# Screenshots go to out/windows-check/ (or AURALIS_CHECK_OUT).
#
# Usage: scripts/windows/check-under-wine.sh   (after scripts/windows/build.sh)
#   BUILD_DIR              the Windows build folder (default build-win/)
#   AURALIS_KEEP_PREFIX    set to 1 to keep the Wine prefix for a look afterwards
#   AURALIS_WINE_TRUST_CA  a CA certificate (PEM) for Wine to trust, such as
#                          the stand-in service's: the check then runs in a
#                          private mount namespace in which the system's CA
#                          bundle, which Wine's TLS (GnuTLS) reads, has it
#                          appended. The machine's trust store is not changed.
#                          Wine matches certificate names by DNS name only, so
#                          a server on 127.0.0.1 needs DNS:127.0.0.1 too.
#
# The walk of the first start against the stand-in service goes between the
# first start and the close (marked below).
set -euo pipefail
top=$(cd "$(dirname "$0")/../.." && pwd)
build=${BUILD_DIR:-$top/build-win}
out=${AURALIS_CHECK_OUT:-$top/out/windows-check}

if [ -n "${AURALIS_WINE_TRUST_CA:-}" ] && [ "${AURALIS_WINE_CHECK_NAMESPACE:-}" != 1 ]; then
    export AURALIS_WINE_CHECK_NAMESPACE=1
    exec unshare -m --propagation private "$0" "$@"
fi

if [ "${AURALIS_WINE_CHECK_NAMESPACE:-}" = 1 ] && [ -z "${AURALIS_WINE_CHECK_DISPLAY:-}" ]; then
    bundle=/etc/ssl/certs/ca-certificates.crt
    trusted=$(mktemp /tmp/auralis-wine-bundle.XXXXXX)
    cat "$bundle" "$AURALIS_WINE_TRUST_CA" > "$trusted"
    mount --bind "$trusted" "$bundle"
    rm "$trusted"
fi

# Run again on a display of our own.
if [ -z "${AURALIS_WINE_CHECK_DISPLAY:-}" ]; then
    export AURALIS_WINE_CHECK_DISPLAY=1
    exec xvfb-run -a -s "-noreset -screen 0 1280x1024x24" "$0" "$@"
fi

. "$build/windows-build.env"
data_folder_name='Common Files\Vantora\Korvane' # below ProgramData, as the program computes it

export WINEPREFIX
WINEPREFIX=$(mktemp -d /tmp/auralis-wine.XXXXXX)
export WINEDEBUG=-all WINEARCH=win64 WINEDLLOVERRIDES="mscoree,mshtml="

cleanup()
{
    wineserver -k 2>/dev/null || true
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

check()
{
    local what=$1
    shift
    if "$@"; then
        passed=$((passed + 1))
        echo "wine-check: ok: $what"
    else
        failed=$((failed + 1))
        echo "wine-check: FAILED: $what" >&2
    fi
}

unix_path()
{
    winepath -u "$1" 2>/dev/null
}

program_windows_path="C:\\Program Files\\$AURALIS_COMPANY_NAME\\$AURALIS_PRODUCT_NAME\\$AURALIS_PRODUCT_NAME.exe"
uninstall_key="HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\$AURALIS_PRODUCT_NAME"

# The program's windows: visible top-level windows with its exact title.
program_windows()
{
    xdotool search --onlyvisible --name "^${AURALIS_PRODUCT_NAME}\$" 2>/dev/null || true
}

wait_for_windows()
{
    local count=$1 seconds=$2
    for _ in $(seq 1 "$seconds"); do
        [ "$(program_windows | wc -l)" -eq "$count" ] && return 0
        sleep 1
    done
    return 1
}

screenshot()
{
    import -window root "$out/$1.png"
    [ -n "${2:-}" ] && import -window "$2" "$out/$1-window.png"
    echo "wine-check: screenshot $out/$1.png"
}

client_size_is()
{
    local info
    info=$(xwininfo -id "$1")
    [ "$(awk '/Width:/ { print $2 }' <<<"$info")x$(awk '/Height:/ { print $2 }' <<<"$info")" = "$2" ]
}

registry_value_is()
{
    wine reg query "$uninstall_key" /v "$1" 2>/dev/null | tr -d '\r' | grep -q "REG_SZ[[:space:]]*$2\$"
}

# Waits for every Wine process of the prefix to end, but not for ever: a
# lingering system process (seen: explorer.exe /desktop after an uninstall)
# would otherwise hold the whole check.
wine_settle()
{
    timeout 120 wineserver --wait || { echo "wine-check: Wine did not settle in 120 s; ending its processes"; wineserver -k || true; }
}

#===============================================================================
started=$(date +%s)
echo "wine-check: preparing a fresh Wine prefix in $WINEPREFIX"
wineboot --init >/dev/null 2>&1
wine_settle

if [ -n "${AURALIS_WINE_TRUST_CA:-}" ]; then
    check "Wine's CA bundle holds the CA to trust" grep -qF "$(sed -n 2p "$AURALIS_WINE_TRUST_CA")" /etc/ssl/certs/ca-certificates.crt
fi

#===============================================================================
# Install silently, as an administrator would.
install_status=0
timeout 300 wine "$AURALIS_INSTALLER" /S || install_status=$?
wine_settle
program_dir=$(unix_path "C:\\Program Files\\$AURALIS_COMPANY_NAME\\$AURALIS_PRODUCT_NAME")
start_menu_entry="$(unix_path 'C:\ProgramData\Microsoft\Windows\Start Menu\Programs')/$AURALIS_PRODUCT_NAME.lnk"
data_folder="$(unix_path 'C:\ProgramData')/${data_folder_name//\\//}"

check "the installer exits with 0 (it exited with $install_status)" test "$install_status" -eq 0
check "the program is installed in $program_dir" test -f "$program_dir/$AURALIS_PRODUCT_NAME.exe"
check "the installed program keeps its imports, icons, manifest and version" \
    python3 "$top/scripts/windows/verify-exe.py" "$program_dir/$AURALIS_PRODUCT_NAME.exe" "$AURALIS_PRODUCT_NAME" "$AURALIS_VERSION"
check "the font licence is installed" cmp -s "$program_dir/LICENSE_FONT.txt" "$top/resources/fonts/LICENSE_FONT"
check "the uninstaller is installed" test -f "$program_dir/Uninstall.exe"
check "the Start-menu entry exists" test -f "$start_menu_entry"
check "the shared data folder C:\\ProgramData\\$data_folder_name exists" test -d "$data_folder"
check "the uninstall entry names version $AURALIS_VERSION" registry_value_is DisplayVersion "$AURALIS_VERSION"

#===============================================================================
# First start, from the Start-menu entry.
wine start /unix "$start_menu_entry"
check "one window titled \"$AURALIS_PRODUCT_NAME\" appears" wait_for_windows 1 60
window=$(program_windows | head -n1)

if [ -n "$window" ]; then
    check "the window's title is exactly \"$AURALIS_PRODUCT_NAME\"" test "$(xdotool getwindowname "$window")" = "$AURALIS_PRODUCT_NAME"
    check "the client area is 540 x 565" client_size_is "$window" 540x565
    check "the window carries the program's icon" bash -c "xprop -id '$window' _NET_WM_ICON | grep -q 'Icon (32 x 32)'"
    sleep 5 # let the first page settle
    screenshot 01-first-start "$window"

    #===========================================================================
    # The walk of the first start against the stand-in service goes here.

    #===========================================================================
    # A second start hands over to the running program and ends.
    second_status=0
    timeout 60 wine "$program_windows_path" || second_status=$?
    check "a second start ends by itself (status $second_status)" test "$second_status" -ne 124
    sleep 3
    check "a second start opens no second window" test "$(program_windows | wc -l)" -eq 1
    check "the first window is still there" test "$(program_windows | head -n1)" = "$window"
    screenshot 02-after-second-start "$window"

    #===========================================================================
    # Close it as the title bar's close button would (WM_CLOSE).
    wine taskkill /IM "$AURALIS_PRODUCT_NAME.exe" >/dev/null 2>&1 || true
    check "the program closes on a close request" wait_for_windows 0 30
fi

#===============================================================================
# The embedded fonts as GDI draws them (the pages' own text shows in the
# screenshots above).
probe_status=0
(cd "$out" && wine "$build/tools/fontprobe/auralis_font_probe.exe" 03-font-probe.png) | tr -d '\r' || probe_status=$?
check "the font probe finds both embedded faces in use" test "$probe_status" -eq 0

#===============================================================================
# Uninstall: the program goes, the shared data folder stays.
wine "$program_dir/Uninstall.exe" /S || true
wine_settle
check "the uninstaller removes the program" test ! -e "$program_dir/$AURALIS_PRODUCT_NAME.exe"
check "the uninstaller removes the Start-menu entry" test ! -e "$start_menu_entry"
check "the uninstaller removes the uninstall entry" bash -c "! wine reg query '$uninstall_key' >/dev/null 2>&1"
check "the uninstaller keeps the shared data folder" test -d "$data_folder"

echo "wine-check: took $(($(date +%s) - started)) s; screenshots in $out"
echo "wine-check: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
