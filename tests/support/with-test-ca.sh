#!/usr/bin/env bash
# Runs a command in a private mount namespace in which a throwaway test CA is
# trusted by libcurl: a copy of the system's CA bundle with the test CA
# appended is bind-mounted over the original. The machine's own trust store
# is never changed. The CA's key and a server certificate for 127.0.0.1 and
# localhost are left in AURALIS_TEST_CA_DIR for the tests' HTTPS servers.
set -euo pipefail

if [ "${AURALIS_IN_TEST_NAMESPACE:-}" != 1 ]; then
    export AURALIS_IN_TEST_NAMESPACE=1
    exec unshare -m --propagation private "$0" "$@"
fi

bundle=/etc/ssl/certs/ca-certificates.crt
dir=$(mktemp -d /tmp/auralis-test-ca.XXXXXX)
trap 'rm -rf "$dir"' EXIT

openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=Auralis Test CA" \
    -keyout "$dir/ca.key" -out "$dir/ca.pem" \
    -addext "basicConstraints=critical,CA:TRUE" -addext "keyUsage=critical,keyCertSign,cRLSign" 2>/dev/null
openssl req -newkey rsa:2048 -nodes -subj "/CN=127.0.0.1" -keyout "$dir/server.key" -out "$dir/server.csr" 2>/dev/null
printf 'subjectAltName=IP:127.0.0.1,DNS:127.0.0.1,DNS:localhost\nbasicConstraints=CA:FALSE\nextendedKeyUsage=serverAuth\n' > "$dir/ext.cnf"
openssl x509 -req -in "$dir/server.csr" -CA "$dir/ca.pem" -CAkey "$dir/ca.key" -CAcreateserial -days 2 \
    -extfile "$dir/ext.cnf" -out "$dir/server.pem" 2>/dev/null

cat "$bundle" "$dir/ca.pem" > "$dir/bundle.crt"
mount --bind "$dir/bundle.crt" "$bundle"

export AURALIS_TEST_CA_DIR="$dir"
"$@"
