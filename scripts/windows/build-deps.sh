#!/usr/bin/env bash
# Cross-builds static libpng, libjpeg-turbo and the text libraries (HarfBuzz,
# FriBidi, utf8proc) for 64-bit Windows from Debian's source packages into a prefix (default /opt/auralis-mingw-deps),
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
    [ -n "$(apt-cache showsrc libpng1.6 libjpeg-turbo harfbuzz fribidi utf8proc 2>/dev/null)" ] && return 0
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

#===============================================================================
# The text libraries have few files and no configuration worth a build
# system: each is compiled as its own sources say and archived.
cc=x86_64-w64-mingw32-gcc-posix
cxx=x86_64-w64-mingw32-g++-posix
ar=x86_64-w64-mingw32-ar
mkdir -p "$prefix/include/harfbuzz" "$prefix/include/fribidi" "$prefix/lib" "$work/objects"

# HarfBuzz: its single-file build, without FreeType, GLib or ICU (the program
# reads fonts and Unicode data through HarfBuzz's own code).
harfbuzz_version=$(fetch_source harfbuzz)
harfbuzz_source=$(find "$work" -maxdepth 1 -type d -name 'harfbuzz-*')
"$cxx" -O2 -std=c++17 -fno-exceptions -fno-rtti -fno-threadsafe-statics -w \
    -c "$harfbuzz_source/src/harfbuzz.cc" -o "$work/objects/harfbuzz.o"
"$ar" rcs "$prefix/lib/libharfbuzz.a" "$work/objects/harfbuzz.o"
install -m 644 "$harfbuzz_source"/src/hb.h "$harfbuzz_source"/src/hb-*.h "$prefix/include/harfbuzz/"

# FriBidi: its tables come generated in the source; the configuration header
# is written from its template.
fribidi_version=$(fetch_source fribidi)
fribidi_source=$(find "$work" -maxdepth 1 -type d -name 'fribidi-*')
fribidi_number=${fribidi_version#*_}
fribidi_number=${fribidi_number%%-*}
IFS=. read -r fribidi_major fribidi_minor fribidi_micro <<<"$fribidi_number"
sed -e "s/@PACKAGE@/fribidi/; s/@PACKAGE_NAME@/GNU FriBidi/; s/@PACKAGE_BUGREPORT@//" \
    -e "s/@FRIBIDI_VERSION@/$fribidi_number/; s/@FRIBIDI_MAJOR_VERSION@/$fribidi_major/" \
    -e "s/@FRIBIDI_MINOR_VERSION@/$fribidi_minor/; s/@FRIBIDI_MICRO_VERSION@/$fribidi_micro/" \
    -e "s/@FRIBIDI_INTERFACE_VERSION@/4/g; s/@SIZEOF_INT@/4/; s/@FRIBIDI_MSVC_BUILD_PLACEHOLDER@//" \
    "$fribidi_source/lib/fribidi-config.h.in" > "$prefix/include/fribidi/fribidi-config.h"
for file in "$fribidi_source"/lib/*.c; do
    "$cc" -O2 -w -DFRIBIDI_LIB_STATIC -DHAVE_STRINGIZE -DHAVE_STRING_H -DHAVE_STDLIB_H -DHAVE_MEMORY_H \
        -I"$fribidi_source/lib" -I"$prefix/include/fribidi" -c "$file" -o "$work/objects/fribidi-$(basename "$file" .c).o"
done
"$ar" rcs "$prefix/lib/libfribidi.a" "$work"/objects/fribidi-*.o
install -m 644 "$fribidi_source"/lib/fribidi*.h "$prefix/include/fribidi/"

# utf8proc: one source file (its data is included by it).
utf8proc_version=$(fetch_source utf8proc)
utf8proc_source=$(find "$work" -maxdepth 1 -type d -name 'utf8proc-*')
"$cc" -O2 -w -DUTF8PROC_STATIC -c "$utf8proc_source/utf8proc.c" -o "$work/objects/utf8proc.o"
"$ar" rcs "$prefix/lib/libutf8proc.a" "$work/objects/utf8proc.o"
install -m 644 "$utf8proc_source/utf8proc.h" "$prefix/include/"

versions="$png_version $jpeg_version $harfbuzz_version $fribidi_version $utf8proc_version"
printf '%s\n%s\n' "$key" "$versions" > "$stamp"
echo "build-deps: built $versions into $prefix"
