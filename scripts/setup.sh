#!/usr/bin/env bash
# Installs everything the build, the program and the tests need on Debian 12
# (run as root). Safe to run again: it installs only what is missing.
# "scripts/setup.sh windows" also installs what the Windows build, its
# installer and the check under Wine need (scripts/windows/).
set -euo pipefail

packages=(
    build-essential cmake ninja-build ccache pkg-config git
    juce-modules-source juce-tools
    googletest libgtest-dev libgmock-dev
    libcpp-httplib-dev libssl-dev openssl ca-certificates curl
    libqrencode-dev libsqlite3-dev libmysofa-dev libmysofa1
    libpng-dev zlib1g-dev nlohmann-json3-dev
    chromium zbar-tools
    xvfb xauth xdotool xclip x11-utils imagemagick libxdamage-dev libxfixes-dev
    libharfbuzz-dev libfribidi-dev libutf8proc-dev libfontconfig-dev
    fonts-noto-core fonts-noto-cjk fonts-noto-color-emoji
    tesseract-ocr tesseract-ocr-eng tesseract-ocr-rus tesseract-ocr-chi-sim
    tesseract-ocr-jpn tesseract-ocr-kor tesseract-ocr-ara tesseract-ocr-heb
    tesseract-ocr-hin tesseract-ocr-tha
    util-linux iproute2 dpkg-dev file desktop-file-utils
    clang clang-format libclang-rt-14-dev python3
)

command -v npm >/dev/null || packages+=(npm)

if [ "${1:-}" = windows ]; then
    packages+=(
        g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix mingw-w64
        libz-mingw-w64-dev dpkg-dev nsis osslsigncode python3
        wine wine64 libgnutls30 libxrender1 libxrandr2 libxi6 libxcursor1
        libxinerama1 libxcomposite1 libxfixes3
    )
fi

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if [ ${#missing[@]} -gt 0 ]; then
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
