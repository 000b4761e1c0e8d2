#!/bin/bash
# Usage: tools/wine-prefix.sh PREFIX
# Creates the Wine prefix once: no Mono/Gecko prompts, Wine's own fonts, Chinese font links, no
# window-manager waits, no crash dialog. Safe to call from several sessions at once.
set -euo pipefail

here=$(dirname "$(readlink -f "$0")")
prefix=$(realpath -m "$1")
mkdir -p "$(dirname "$prefix")"

exec 9>"$prefix.lock"
flock 9
[ -f "$prefix/.yieldora-prefix-v3" ] && exit 0

export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree=;mshtml="
rm -rf "$prefix"
wineboot -i >/dev/null 2>&1
wine reg import "$(winepath -w "$here/wine-prefix.reg" 2>/dev/null)" >/dev/null 2>&1
# Debian's Wine finds its own fonts (Marlett draws the caption buttons, Tahoma the message boxes)
# only inside the prefix.
cp /usr/share/wine/fonts/*.ttf "$prefix/drive_c/windows/Fonts/"
# The faces the windows use fall back to a font with Chinese glyphs ("Arial" is drawn with
# Liberation Sans; bold Tahoma, as in captions, needs a link of its own). reg add, because reg
# import stores REG_MULTI_SZ values byte by byte.
for face in "Arial" "Liberation Sans" "Tahoma" "Tahoma Bold" "MS Shell Dlg" "MS Shell Dlg 2" \
    "Microsoft Sans Serif"; do
    wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink' \
        /v "$face" /t REG_MULTI_SZ /d 'wqy-microhei.ttc,WenQuanYi Micro Hei' /f >/dev/null 2>&1
done
wineserver -w
touch "$prefix/.yieldora-prefix-v3"
