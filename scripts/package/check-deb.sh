#!/usr/bin/env bash
# Builds the Debian package, installs it on this machine and checks it as its
# users would, then uninstalls it:
#   - the package holds the program, the desktop entry, the icons and the
#     licence texts, and depends on what the program opens at run time;
#   - installing it creates the shared data folder, writable by every local
#     user (0777, no sticky bit) below folders only root may change;
#   - two non-root users save the one shared bank in turn through the
#     product's store, each replacing the other's files, while no file ever
#     becomes writable by another user (one of them with umask 077);
#   - a non-root user starts the program under Xvfb: one window, exactly
#     titled, 540 x 565, painted; a second start opens no second window; the
#     close request ends it (first run, then as a returning user);
#   - that user completes onboarding in the installed program against the
#     stand-in service (tests/e2e/onboarding-first-run.sh, run as that user
#     with the data folder the package created);
#   - reinstalling over an existing data folder keeps its permissions and
#     files; removing and purging the package keep the folder.
#
#   scripts/package/check-deb.sh          (as root; screenshots and logs go to
#                                          out/package-check/ or AURALIS_CHECK_OUT)
#
# It runs in a private mount namespace in which /opt and /var/tmp are empty,
# so the data folder is created as on a fresh machine and the machine's own
# /opt is not changed; the package itself is installed into the machine's
# /usr and removed again. Test users that it creates (auralis-test,
# auralis-test2) are deleted afterwards.
set -euo pipefail
top=$(cd "$(dirname "$0")/../.." && pwd)
export BUILD_DIR=${BUILD_DIR:-$top/build-tools}
build=$BUILD_DIR
out=${AURALIS_CHECK_OUT:-$top/out/package-check}

if [ "$(id -u)" != 0 ]; then
    echo "check-deb: run as root (it installs the package and adds test users)" >&2
    exit 2
fi

if [ "${AURALIS_PACKAGE_CHECK_NAMESPACE:-}" != 1 ]; then
    "$top/scripts/setup.sh"
    "$top/tools/build-tools.sh" Auralis auralis_shared_bank_probe auralis_xprobe auralis-standin
    rm -rf "$build/package"
    (cd "$build" && cpack -G DEB >/dev/null)
    export AURALIS_PACKAGE_CHECK_NAMESPACE=1
    exec unshare -m --propagation private "$0" "$@"
fi

mount -t tmpfs -o mode=0755 tmpfs /opt
mount -t tmpfs -o mode=1777 tmpfs /var/tmp

deb=$(ls "$build"/package/*.deb)
package=$(dpkg-deb --field "$deb" Package)
program=/usr/bin/$package
product="Auralis with VST Spherion"

work=$(mktemp -d /tmp/auralis-package-check.XXXXXX)
chmod 0755 "$work"
mkdir -p "$work/control"
dpkg-deb --control "$deb" "$work/control"

# The data folder as the package's post-install step knows it.
data_folder=$(sed -n 's/^data_folder="\(.*\)"$/\1/p' "$work/control/postinst")

# Helpers the test users run: copies outside the build tree.
cp "$build/tools/package/auralis_shared_bank_probe" "$build/tools/xprobe/auralis_xprobe" "$work/"
cp -r "$top/scripts/package" "$work/package"
cp "$top/scripts/x11-desktop-atoms.sh" "$work/"
chmod -R a+rX "$work"

rm -rf "$out"
mkdir -p "$out"

users=(auralis-test auralis-test2)
created_users=()
passed=0
failed=0
started=$(date +%s)

cleanup()
{
    if dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
        apt-get purge -y -qq "$package" >/dev/null 2>&1 || true
    fi
    for user in "${created_users[@]}"; do
        userdel -r "$user" 2>/dev/null || true
    done
    rm -rf "$work"
}
trap cleanup EXIT

check()
{
    local what=$1
    shift
    if "$@"; then
        passed=$((passed + 1))
        echo "package-check: ok: $what"
    else
        failed=$((failed + 1))
        echo "package-check: FAILED: $what" >&2
    fi
}

mode_of() { stat -c '%a %U:%G' "$1"; }
package_has() { dpkg-deb --contents "$deb" | awk '{ print $6 }' | grep -qx "./${1#/}"; }

as_user()
{
    local user=$1 mask=$2
    shift 2
    runuser -u "$user" -- env -i HOME="/home/$user" USER="$user" LOGNAME="$user" PATH=/usr/bin:/bin \
        sh -c "umask $mask && exec \"\$@\"" sh "$@"
}

install_package()
{
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "$deb" >"$out/install-$1.log" 2>&1
}

remove_package()
{
    DEBIAN_FRONTEND=noninteractive apt-get "$1" -y -qq "$package" >"$out/$1.log" 2>&1
}

#===============================================================================
# The package as built.
for size in 16 32 48 64 128 256; do
    check "the package holds the ${size}x${size} icon" package_has "/usr/share/icons/hicolor/${size}x${size}/apps/$package.png"
done
check "the package holds the program $program" package_has "$program"
check "the package holds the desktop entry" package_has "/usr/share/applications/$package.desktop"
check "the package holds the font licence" package_has "/usr/share/doc/$package/LICENSE_FONT"
check "the package holds its copyright file" package_has "/usr/share/doc/$package/copyright"
check "the package depends on the X11 libraries the framework opens" bash -c "dpkg-deb --field '$deb' Depends | grep -q 'libx11-6'"
check "the package depends on the CA certificates" bash -c "dpkg-deb --field '$deb' Depends | grep -q 'ca-certificates'"
check "the package depends on the text libraries" bash -c "dpkg-deb --field '$deb' Depends | grep -q 'libharfbuzz0b' && dpkg-deb --field '$deb' Depends | grep -q 'libfribidi0' && dpkg-deb --field '$deb' Depends | grep -q 'libutf8proc2' && dpkg-deb --field '$deb' Depends | grep -q 'libfontconfig1'"
check "the package recommends fonts for every script" bash -c "dpkg-deb --field '$deb' Recommends | grep -q 'fonts-noto-cjk'"
check "the post-install step creates $data_folder" test -n "$data_folder"

#===============================================================================
# Install on a fresh machine's /opt.
check "apt-get installs the package" install_package first
check "the program is installed" test -x "$program"
check "the program is stripped" bash -c "file -L '$program' | grep -q ', stripped'"
check "the desktop entry is valid" desktop-file-validate "/usr/share/applications/$package.desktop"
check "the desktop entry starts the program" grep -qx "Exec=$package" "/usr/share/applications/$package.desktop"
check "the copyright file quotes the SIL Open Font License" grep -q "SIL OPEN FONT LICENSE Version 1.1" "/usr/share/doc/$package/copyright"
check "the data folder exists" test -d "$data_folder"
check "the data folder is writable by every user, without sticky bit (777 root:root)" test "$(mode_of "$data_folder")" = "777 root:root"
check "the folders above it are root's alone (755 root:root)" \
    test "$(mode_of "$(dirname "$data_folder")")|$(mode_of "$(dirname "$(dirname "$data_folder")")")" = "755 root:root|755 root:root"

for user in "${users[@]}"; do
    if ! id "$user" >/dev/null 2>&1; then
        useradd -m -s /bin/bash "$user"
        created_users+=("$user")
    fi
done

ann=${users[0]}
bob=${users[1]}

#===============================================================================
# First start, by a non-root user.
run_first_start()
{
    local label=$1 user=$2 shots="$work/shots-$1" status=0
    mkdir -p "$shots"
    chown "$user" "$shots"
    as_user "$user" 022 xvfb-run -a -s "-noreset -screen 0 1280x1024x24" \
        "$work/package/first-start.sh" "$program" "$work/auralis_xprobe" "$shots" "$label" "${3:-}" || status=$?
    cp -r "$shots"/. "$out/"
    return "$status"
}

check "a first start by $ann shows the program's window and closes cleanly" run_first_start first-run "$ann"

#===============================================================================
# Onboarding by a non-root user in the installed program, against the
# stand-in service: a name, Begin, the QR code, an upload, Next, the
# profile-loaded page, HOME; then the bank and the HRTF file on disk.
onboard()
{
    local status=0
    AURALIS_E2E_USER=$1 AURALIS_E2E_KEEP_OPT=1 \
        "$top/tests/e2e/onboarding-first-run.sh" "$program" "$build/tools/standin/auralis-standin" \
        "$top" "$out/onboarding" >"$out/onboarding.log" 2>&1 || status=$?
    tail -n 1 "$out/onboarding.log"
    return "$status"
}

check "$ann completes onboarding against the stand-in service" onboard "$ann"
check "$ann's onboarding saved the bank and the HRTF file as $ann's, 644" \
    test "$(mode_of "$data_folder/Presets")" = "644 $ann:$ann" \
    -a -z "$(find "$data_folder" -mindepth 1 ! -user "$ann")" \
    -a -z "$(find "$data_folder" -mindepth 1 -type f ! -perm 0644)"

# The checks below start from an empty shared folder.
find "$data_folder" -mindepth 1 -delete

#===============================================================================
# One bank for every user: each saves it through the product's store, which
# replaces the other user's files by rename.
probe()
{
    local user=$1 mask=$2
    shift 2
    as_user "$user" "$mask" "$work/auralis_shared_bank_probe" "$data_folder" "$@" >"$out/probe-$user.txt" 2>&1
}

check "$ann (umask 077) saves a profile and an HRTF file" probe "$ann" 077 Ann hrtf-ann
check "$ann's files are readable by all and writable by $ann only" \
    test "$(mode_of "$data_folder/Presets")|$(mode_of "$data_folder/hrtf-ann")" = "644 $ann:$ann|644 $ann:$ann"
check "$bob saves a profile into the same bank" probe "$bob" 022 Bob hrtf-bob
check "the bank holds both profiles" test "$(tr '\n' ' ' <"$out/probe-$bob.txt")" = "Ann Bob "
check "$bob's save replaced $ann's bank file" test "$(stat -c %U "$data_folder/Presets")" = "$bob"
check "$ann's HRTF file is still $ann's" test "$(mode_of "$data_folder/hrtf-ann")" = "644 $ann:$ann"
check "$bob cannot write into $ann's HRTF file" bash -c "! runuser -u '$bob' -- sh -c 'echo x >> \"\$1\"' sh '$data_folder/hrtf-ann' 2>/dev/null"
check "$ann saves again over $bob's bank" probe "$ann" 077 Ann hrtf-ann-2
check "the bank still holds both profiles" test "$(tr '\n' ' ' <"$out/probe-$ann.txt")" = "Ann Bob "
check "no file in the data folder is writable by others" test -z "$(find "$data_folder" -mindepth 1 -perm /o+w)"

# $ann's first start left the framework's single-instance lock file behind,
# which $bob cannot lock (see first-start.sh).
check "a returning user's start by $bob shows the window and closes cleanly" run_first_start returning "$bob" other-user

#===============================================================================
# Reinstalling keeps the data folder as it is; removing keeps it too.
check "apt-get removes the package" remove_package remove
check "the program is gone" test ! -e "$program"
check "the desktop entry is gone" test ! -e "/usr/share/applications/$package.desktop"
check "removing keeps the data folder and the bank" test -f "$data_folder/Presets"

check "apt-get installs the package again" install_package again
check "reinstalling keeps the data folder's permissions" test "$(mode_of "$data_folder")" = "777 root:root"
check "reinstalling keeps the files' owners and permissions" test "$(mode_of "$data_folder/hrtf-ann")" = "644 $ann:$ann"
check "apt-get removes the package again" remove_package remove

# A data folder that an administrator made with other permissions stays so.
chmod 0755 "$data_folder"
echo "kept" >"$data_folder/admin-file"
chmod 0640 "$data_folder/admin-file"
check "apt-get installs over an administrator's data folder" install_package over-existing
check "the existing data folder keeps its permissions" test "$(mode_of "$data_folder")" = "755 root:root"
check "the existing files keep theirs" test "$(mode_of "$data_folder/admin-file")" = "640 root:root"
check "the post-install step says it kept the folder" grep -q "Keeping the shared data folder" "$out/install-over-existing.log"

check "apt-get purges the package" remove_package purge
check "purging keeps the data folder and the bank" test -f "$data_folder/Presets"
check "nothing of the package is left" bash -c "! dpkg-query -W '$package' 2>/dev/null | grep -q ."

echo "package-check: took $(($(date +%s) - started)) s; screenshots and logs in $out"
echo "package-check: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
