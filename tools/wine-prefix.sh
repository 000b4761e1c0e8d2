#!/bin/bash
# Usage: tools/wine-prefix.sh PREFIX
# Creates the Wine prefix once: no Mono/Gecko prompts, Chinese font links, no window-manager waits,
# no crash dialog. Safe to call from several sessions at once.
set -euo pipefail

here=$(dirname "$(readlink -f "$0")")
prefix=$(realpath -m "$1")
mkdir -p "$(dirname "$prefix")"

exec 9>"$prefix.lock"
flock 9
[ -f "$prefix/.yieldora-ready" ] && exit 0

export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree=;mshtml="
rm -rf "$prefix"
wineboot -i >/dev/null 2>&1
wine reg import "$(winepath -w "$here/wine-prefix.reg" 2>/dev/null)" >/dev/null 2>&1
wineserver -w
touch "$prefix/.yieldora-ready"
