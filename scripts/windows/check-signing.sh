#!/usr/bin/env bash
# Checks the signing of the Windows build (after scripts/windows/build.sh):
# a build without a certificate says so in one line and leaves a file as it
# was; then a throwaway certificate authority and code-signing certificate
# are made, the installer is built again signed with them (the installed
# program, the uninstaller and the installer), each of the three signatures is
# verified with osslsigncode against the throwaway authority, and a copy of
# each with one byte changed must fail the verification.
#
# The build folder is left with the signed artefacts and the throwaway
# authority's certificate in signing-check/ca.pem, so that the check under
# Wine verifies the program and the uninstaller as the installer put them
# on the disk (scripts/windows/check.sh runs both).
#
# usage: scripts/windows/check-signing.sh
#   BUILD_DIR  the Windows build folder (default build-win/)
set -euo pipefail
top=$(cd "$(dirname "$0")/../.." && pwd)
build=${BUILD_DIR:-$top/build-win}

if [ ! -f "$build/windows-build.env" ]; then
    echo "sign-check: no Windows build in $build (run scripts/windows/build.sh)" >&2
    exit 1
fi
. "$build/windows-build.env"

work="$build/signing-check"
rm -rf "$work"
mkdir -p "$work"
trap 'rm -f "$work"/*.key "$work"/*.csr "$work"/*.p12 "$work"/changed-*' EXIT

passed=0
failed=0

check()
{
    local what=$1
    shift
    if "$@"; then
        passed=$((passed + 1))
        echo "sign-check: ok: $what"
    else
        failed=$((failed + 1))
        echo "sign-check: FAILED: $what" >&2
    fi
}

#===============================================================================
# Without a certificate: one line, and the file as it was.
cp "$AURALIS_SHIPPED_PROGRAM" "$work/unsigned.exe"
unsigned_output=$(env -u AURALIS_SIGN_PKCS12 "$top/scripts/windows/sign.sh" "$AURALIS_PRODUCT_NAME" "$work/unsigned.exe")
check "without a certificate the build says so in one line (\"$unsigned_output\")" \
    test "$(wc -l <<<"$unsigned_output")" -eq 1 -a -n "$unsigned_output"
check "without a certificate the program is left as it was" cmp -s "$AURALIS_SHIPPED_PROGRAM" "$work/unsigned.exe"
rm -f "$work/unsigned.exe"

#===============================================================================
# A throwaway authority and a code-signing certificate it issued, for a day.
subject_name="$AURALIS_COMPANY_NAME (throwaway signing check)"
openssl req -x509 -newkey rsa:2048 -nodes -days 1 -keyout "$work/ca.key" -out "$work/ca.pem" \
    -subj "/CN=Throwaway signing authority" \
    -addext "basicConstraints=critical,CA:TRUE" -addext "keyUsage=critical,keyCertSign,cRLSign" 2> /dev/null
openssl req -newkey rsa:2048 -nodes -keyout "$work/signer.key" -out "$work/signer.csr" \
    -subj "/CN=$subject_name/O=$AURALIS_COMPANY_NAME" 2> /dev/null
openssl x509 -req -days 1 -in "$work/signer.csr" -CA "$work/ca.pem" -CAkey "$work/ca.key" -CAcreateserial \
    -extfile <(printf '%s\n' "basicConstraints=CA:FALSE" "keyUsage=critical,digitalSignature" "extendedKeyUsage=codeSigning") \
    -out "$work/signer.pem" 2> /dev/null

export AURALIS_SIGN_PKCS12="$work/signer.p12" AURALIS_SIGN_PASSWORD
AURALIS_SIGN_PASSWORD=$(openssl rand -hex 16)
openssl pkcs12 -export -inkey "$work/signer.key" -in "$work/signer.pem" -certfile "$work/ca.pem" \
    -passout env:AURALIS_SIGN_PASSWORD -out "$AURALIS_SIGN_PKCS12"
# No time-stamp server can be reached from here.
unset AURALIS_SIGN_TIMESTAMP_URL

#===============================================================================
# The installer made again, signed.
rm -f "$AURALIS_INSTALLER" "$AURALIS_SHIPPED_PROGRAM" "$AURALIS_SHIPPED_UNINSTALLER"
cmake --build "$build" --target Auralis_installer -j "${AURALIS_JOBS:-2}" | grep '^sign:' || true

verifies() { osslsigncode verify -CAfile "$work/ca.pem" -in "$1" > "$work/verify.log" 2>&1; }
signed_by_throwaway() { grep -qF "$subject_name" "$work/verify.log"; }
digest_mismatches() { ! verifies "$1" && grep -q 'MISMATCH' "$work/verify.log"; }

# A copy of the file with one byte changed halfway through it, inside what
# the signature covers (the signature itself is at the end).
changed_copy()
{
    local copy="$work/changed-$(basename "$1")" size
    cp "$1" "$copy"
    size=$(stat -c %s "$copy")
    python3 - "$copy" $((size / 2)) <<'EOF'
import sys
path, offset = sys.argv[1], int(sys.argv[2])
with open(path, "r+b") as f:
    f.seek(offset)
    byte = f.read(1)
    f.seek(offset)
    f.write(bytes([byte[0] ^ 0x01]))
EOF
    echo "$copy"
}

for artefact in "$AURALIS_SHIPPED_PROGRAM" "$AURALIS_SHIPPED_UNINSTALLER" "$AURALIS_INSTALLER"; do
    name=$(basename "$artefact")
    if [ ! -f "$artefact" ]; then
        check "$name is built" false
        continue
    fi

    check "$name carries a valid signature" verifies "$artefact"
    check "$name is signed by the throwaway certificate" signed_by_throwaway
    changed=$(changed_copy "$artefact")
    check "$name with one byte changed fails the verification: its digest no longer matches" digest_mismatches "$changed"
done
rm -f "$work/verify.log"

echo "sign-check: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
