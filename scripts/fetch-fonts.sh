#!/usr/bin/env bash
# Fetches the two Alegreya Sans faces and their licence from the npm registry
# into the given folder, and refuses them unless both checksums match.
set -euo pipefail

dest=${1:?usage: fetch-fonts.sh DEST}
package="@expo-google-fonts/alegreya-sans@0.4.2"
regular_sha=9baa653a3d8a210a7d5b9e8ee7db678daf61aad37fcf05e2c8c531aff7133489
medium_sha=67a4004ccd7c6061beb015465cd59d66035ccf4cf56aa3d99f254f207a3a2fea

verify()
{
    echo "$2  $1" | sha256sum --check --status
}

if [ -f "$dest/AlegreyaSans_400Regular.ttf" ] && [ -f "$dest/AlegreyaSans_500Medium.ttf" ] && [ -f "$dest/LICENSE_FONT" ] \
    && verify "$dest/AlegreyaSans_400Regular.ttf" "$regular_sha" && verify "$dest/AlegreyaSans_500Medium.ttf" "$medium_sha"; then
    exit 0
fi

command -v npm >/dev/null || { echo "fetch-fonts: npm is needed to fetch the fonts" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
(cd "$work" && npm pack --silent "$package" >/dev/null)
tar -xzf "$work"/*.tgz -C "$work"

verify "$work/package/400Regular/AlegreyaSans_400Regular.ttf" "$regular_sha" || { echo "fetch-fonts: Regular face checksum mismatch" >&2; exit 1; }
verify "$work/package/500Medium/AlegreyaSans_500Medium.ttf" "$medium_sha" || { echo "fetch-fonts: Medium face checksum mismatch" >&2; exit 1; }

mkdir -p "$dest"
cp "$work/package/400Regular/AlegreyaSans_400Regular.ttf" "$work/package/500Medium/AlegreyaSans_500Medium.ttf" "$work/package/LICENSE_FONT" "$dest/"
