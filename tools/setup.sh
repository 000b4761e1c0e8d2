#!/bin/bash
# Installs what building and testing Yieldora needs on a fresh Debian 12 machine.
# Idempotent and quiet: does nothing when everything is already there. Wine's 32-bit half (and the
# i386 architecture it needs) only where this machine can execute 32-bit programs at all.
set -uo pipefail
here=$(dirname "$(readlink -f "$0")")
. "$here/common.sh"

PACKAGES="cmake ninja-build g++ clang clang-tidy make zip g++-mingw-w64-i686 g++-mingw-w64-x86-64 \
wine wine64 fonts-wine fonts-liberation xvfb xauth x11-apps x11-utils imagemagick \
fonts-wqy-microhei googletest libbenchmark-dev libclang-rt-14-dev libreoffice-calc-nogui \
msitools wixl osslsigncode openssl ccache lld cups printer-driver-cups-pdf poppler-utils libcups2"
runs32=false
if yieldora_machine_runs_32bit; then
    runs32=true
    # Wine loads libcups for each architecture: without the 32-bit one a 32-bit program sees no
    # printer at all.
    PACKAGES="$PACKAGES wine32:i386 libcups2:i386"
fi

SUDO=""
if [ "$(id -u)" -ne 0 ]; then
    SUDO="sudo"
fi

# One query for all the packages (one each took a second of every make test and make run): the
# installed ones by name, qualified with their architecture where dpkg qualifies them.
native=$(dpkg --print-architecture)
installed=" $(dpkg-query -W -f='${binary:Package} ${Status}\n' $PACKAGES 2>/dev/null |
    awk '$2 == "install" && $3 == "ok" && $4 == "installed" { print $1 }' | tr '\n' ' ') "
missing=""
for p in $PACKAGES; do
    case $installed in
    *" $p "* | *" $p:$native "*) ;;
    *) missing="$missing $p" ;;
    esac
done
# MinGW's compilers run the linker named beside their own GNU ld with .lld added when asked for
# lld (-fuse-ld=lld, which the test presets use): LLVM's lld under those names.
lld_links() {
    local triple
    [ -x /usr/bin/ld.lld ] || return 0
    for triple in i686-w64-mingw32 x86_64-w64-mingw32; do
        [ -e /usr/bin/$triple-ld.lld ] || $SUDO ln -s ld.lld /usr/bin/$triple-ld.lld
    done
}

if [ -z "$missing" ]; then
    lld_links
    exit 0
fi

echo "== setup: installing$missing"
$runs32 || echo "== setup: this machine cannot execute 32-bit programs: no wine32, no i386 architecture"
log=$(mktemp "${TMPDIR:-/tmp}/yieldora-setup.XXXXXX")
export DEBIAN_FRONTEND=noninteractive
if $runs32 && ! dpkg --print-foreign-architectures | grep -qx i386; then
    yieldora_step "setup: adding the i386 architecture" "$log" $SUDO dpkg --add-architecture i386
    yieldora_step "setup: reading the package lists" "$log" $SUDO apt-get update -qq
fi
if ! $SUDO apt-get install -y -qq --no-install-recommends $missing >"$log" 2>&1; then
    yieldora_step "setup: reading the package lists" "$log" $SUDO apt-get update -qq
    yieldora_step "setup: installing the packages" "$log" \
        $SUDO apt-get install -y -qq --no-install-recommends $missing
fi
rm -f "$log"
lld_links
