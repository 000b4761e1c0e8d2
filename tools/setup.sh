#!/bin/sh
# Installs what building and testing Yieldora needs on a fresh Debian 12 machine.
# Idempotent and quiet: does nothing when everything is already there.
set -eu

PACKAGES="cmake ninja-build g++ clang clang-tidy make zip g++-mingw-w64-i686 g++-mingw-w64-x86-64 \
wine wine32:i386 wine64 fonts-wine fonts-liberation xvfb xauth x11-apps imagemagick \
fonts-wqy-microhei googletest libbenchmark-dev libclang-rt-14-dev libreoffice-calc-nogui \
msitools wixl osslsigncode openssl"

SUDO=""
if [ "$(id -u)" -ne 0 ]; then
    SUDO="sudo"
fi

missing=""
for p in $PACKAGES; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing="$missing $p"
    fi
done
[ -z "$missing" ] && exit 0

export DEBIAN_FRONTEND=noninteractive
if ! dpkg --print-foreign-architectures | grep -qx i386; then
    $SUDO dpkg --add-architecture i386
    $SUDO apt-get update -qq
fi
if ! $SUDO apt-get install -y -qq --no-install-recommends $missing >/dev/null; then
    $SUDO apt-get update -qq
    $SUDO apt-get install -y -qq --no-install-recommends $missing >/dev/null
fi
