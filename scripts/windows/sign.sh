#!/usr/bin/env bash
# Signs one Windows artefact in place with an Authenticode signature
# (osslsigncode, SHA-256), time-stamped where a time-stamp server answers.
# The build runs it on the program it installs, and the installer script
# runs it on the uninstaller and the installer (resources/windows/Auralis.nsi).
#
# The code-signing certificate comes from the environment only, never from
# the source tree:
#   AURALIS_SIGN_PKCS12         the certificate, its private key and its chain
#                               as a PKCS#12 file (.p12 or .pfx)
#   AURALIS_SIGN_PASSWORD       the file's password (may be empty); it reaches
#                               osslsigncode through a pipe, never through a
#                               command line that other users could list
#   AURALIS_SIGN_TIMESTAMP_URL  RFC 3161 time-stamp servers, separated by
#                               blanks, tried in turn; a signature without a
#                               time-stamp is valid only while the certificate
#                               is
#   AURALIS_SIGN_URL            a web address the signature names (optional)
# Without AURALIS_SIGN_PKCS12 nothing is signed: the file stays as it is and
# the script says so in one line (nothing with --quiet).
#
# usage: sign.sh [--quiet] [--copy-to PATH] DESCRIPTION FILE
#   DESCRIPTION  the name the signature gives the file (shown by Windows when
#                it asks for elevation)
#   --copy-to    also leaves a copy of the signed file at PATH (the installer
#                script signs its uninstaller in a temporary file)
set -euo pipefail

quiet=0
copy_to=
while [ $# -gt 0 ]; do
    case "$1" in
        --quiet) quiet=1; shift ;;
        --copy-to) copy_to=$2; shift 2 ;;
        *) break ;;
    esac
done

if [ $# -ne 2 ]; then
    echo "usage: sign.sh [--quiet] [--copy-to PATH] DESCRIPTION FILE" >&2
    exit 2
fi

description=$1
file=$2

if [ -z "${AURALIS_SIGN_PKCS12:-}" ]; then
    [ "$quiet" = 1 ] || echo "sign: no code-signing certificate given (AURALIS_SIGN_PKCS12): the program, its uninstaller and the installer are built unsigned"
    [ -z "$copy_to" ] || cp -f "$file" "$copy_to"
    exit 0
fi

# A release that asked to be signed never comes out unsigned.
if [ ! -r "$AURALIS_SIGN_PKCS12" ]; then
    echo "sign: cannot read the code-signing certificate $AURALIS_SIGN_PKCS12" >&2
    exit 1
fi

if ! command -v osslsigncode > /dev/null; then
    echo "sign: osslsigncode is missing (scripts/setup.sh windows installs it)" >&2
    exit 1
fi

signed=$(mktemp "$file.signed.XXXXXX")
trap 'rm -f "$signed" "$signed.log"' EXIT

sign_with()
{
    # osslsigncode refuses to overwrite; the output is made afresh each time.
    rm -f "$signed"
    osslsigncode sign -pkcs12 "$AURALIS_SIGN_PKCS12" -readpass <(printf '%s' "${AURALIS_SIGN_PASSWORD:-}") \
        -h sha256 -n "$description" ${AURALIS_SIGN_URL:+-i "$AURALIS_SIGN_URL"} "$@" \
        -in "$file" -out "$signed" > "$signed.log" 2>&1
}

stamped_by=
for server in ${AURALIS_SIGN_TIMESTAMP_URL:-}; do
    if sign_with -ts "$server"; then
        stamped_by=$server
        break
    fi
    echo "sign: the time-stamp server $server did not answer; trying the next" >&2
done

if [ -z "$stamped_by" ] && ! sign_with; then
    cat "$signed.log" >&2
    echo "sign: could not sign $file" >&2
    exit 1
fi

chmod --reference="$file" "$signed"
mv -f "$signed" "$file"
[ -z "$copy_to" ] || cp -f "$file" "$copy_to"

shown=$(basename "${copy_to:-$file}")
if [ -n "$stamped_by" ]; then
    echo "sign: signed $shown as \"$description\", time-stamped by $stamped_by"
else
    echo "sign: signed $shown as \"$description\", without a time-stamp (valid while the certificate is)"
fi
