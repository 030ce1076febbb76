#!/usr/bin/env bash
# Installs, from Debian's packages, everything the build and the tests need.
# Idempotent: packages already present are not fetched again.
set -euo pipefail

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi

packages=(
    cmake g++ make googletest
    g++-mingw-w64-i686 binutils-mingw-w64-i686 g++-mingw-w64-x86-64 binutils-mingw-w64-x86-64
    wine wine32:i386 wine64 fonts-wine libfreetype6:i386
    xvfb xdotool x11-utils imagemagick
    python3
    clang libclang-rt-14-dev
)

missing=()
for p in "${packages[@]}"; do
    dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
done
if [ ${#missing[@]} -eq 0 ]; then
    exit 0
fi

echo "bootstrap: installing ${missing[*]}"
if ! dpkg --print-foreign-architectures | grep -qx i386; then
    $SUDO dpkg --add-architecture i386
fi
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
