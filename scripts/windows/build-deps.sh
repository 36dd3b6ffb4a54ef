#!/usr/bin/env bash
# Cross-builds static libpng and libjpeg-turbo for 64-bit Windows from
# Debian's source packages into a prefix (default /opt/auralis-mingw-deps),
# once: a prefix already built by this same script is left as it is.
# Needs the deb-src entries, MinGW-w64, cmake and ninja (scripts/windows/setup.sh).
# Usage: scripts/windows/build-deps.sh [PREFIX]
set -euo pipefail

top=$(cd "$(dirname "$0")/../.." && pwd)
prefix=${1:-/opt/auralis-mingw-deps}
toolchain="$top/cmake/mingw-w64-x86_64.cmake"
stamp="$prefix/auralis-deps.stamp"
key=$(cat "$0" "$toolchain" | sha256sum | cut -d' ' -f1)

if [ -f "$stamp" ] && [ "$(head -n1 "$stamp")" = "$key" ]; then
    exit 0
fi

# apt-get source needs deb-src entries. Add them for the Debian archives and
# suites the machine already uses for binary packages.
ensure_source_entries()
{
    [ -n "$(apt-cache showsrc libpng1.6 libjpeg-turbo 2>/dev/null)" ] && return 0
    local list=/etc/apt/sources.list.d/auralis-deb-src.sources keyring=/usr/share/keyrings/debian-archive-keyring.gpg
    apt-get indextargets --format '$(REPO_URI) $(RELEASE) $(COMPONENT) $(ORIGIN)' 'Created-By: Packages' \
        | awk '$4 == "Debian" { print $1, $2, $3 }' | sort -u \
        | while read -r uri suite component; do
            printf 'Types: deb-src\nURIs: %s\nSuites: %s\nComponents: %s\n' "$uri" "$suite" "$component"
            [ -f "$keyring" ] && printf 'Signed-By: %s\n' "$keyring"
            printf '\n'
        done > "$list"
    [ -s "$list" ] || { echo "build-deps: found no Debian archive to take sources from" >&2; exit 1; }
    apt-get update -qq
}

ensure_source_entries

work=$(mktemp -d)
chown _apt "$work" 2>/dev/null || true # apt downloads as its own user
trap 'rm -rf "$work"' EXIT

# Fetches and unpacks a source package. The newest version may exist only as
# binaries on a mirror (security updates); the release's source then serves.
fetch_source()
{
    local package=$1 suite
    suite=$(. /etc/os-release && echo "$VERSION_CODENAME")
    if ! (cd "$work" && apt-get source -qq "$package" >/dev/null 2>&1); then
        echo "build-deps: the newest $package source cannot be fetched; using the $suite release's" >&2
        (cd "$work" && apt-get source -qq "$package/$suite" >/dev/null)
    fi
    find "$work" -maxdepth 1 -name "${package}_*.dsc" -printf '%f\n' | sed 's/\.dsc$//'
}

cmake_build()
{
    local source=$1 binary=$2
    shift 2
    cmake -S "$source" -B "$binary" -G Ninja -Wno-dev \
        -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
        -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_INSTALL_PREFIX="$prefix" \
        "$@" >/dev/null
    cmake --build "$binary" -j "$(nproc)" >/dev/null
    cmake --install "$binary" >/dev/null
}

rm -rf "$prefix"
mkdir -p "$prefix"

#===============================================================================
png_version=$(fetch_source libpng1.6)
cmake_build "$(find "$work" -maxdepth 1 -type d -name 'libpng1.6-*')" "$work/png-build" \
    -DPNG_SHARED=OFF -DPNG_STATIC=ON -DPNG_EXECUTABLES=OFF -DPNG_TESTS=OFF \
    -DZLIB_INCLUDE_DIR=/usr/x86_64-w64-mingw32/include \
    -DZLIB_LIBRARY=/usr/x86_64-w64-mingw32/lib/libz.a

#===============================================================================
jpeg_version=$(fetch_source libjpeg-turbo)
jpeg_source=$(find "$work" -maxdepth 1 -type d -name 'libjpeg-turbo-*')
cmake_build "$jpeg_source" "$work/jpeg-build" \
    -DENABLE_SHARED=OFF -DENABLE_STATIC=ON -DWITH_TURBOJPEG=OFF -DWITH_SIMD=OFF

# JUCE reads the library's internals (it defines JPEG_INTERNALS), so the
# private header is installed too.
install -m 644 "$jpeg_source/jpegint.h" "$prefix/include/"

# JUCE includes jpeglib.h inside a namespace of its own after the Windows
# headers, and names that namespace's 'boolean'. The Windows configuration
# declares it only when rpcndr.h has not been read, so declare it always.
sed -i '/#ifndef __RPCNDR_H__/{N;N;s/#ifndef __RPCNDR_H__[^\n]*\ntypedef unsigned char boolean;\n#endif/typedef unsigned char boolean;/}' "$prefix/include/jconfig.h"
grep -q '^typedef unsigned char boolean;' "$prefix/include/jconfig.h" || { echo "build-deps: could not adjust jconfig.h" >&2; exit 1; }
grep -q '__RPCNDR_H__' "$prefix/include/jconfig.h" && { echo "build-deps: jconfig.h still guards boolean" >&2; exit 1; }

printf '%s\n%s\n%s\n' "$key" "$png_version" "$jpeg_version" > "$stamp"
echo "build-deps: built $png_version and $jpeg_version into $prefix"
