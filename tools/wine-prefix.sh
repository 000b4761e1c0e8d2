#!/bin/bash
# Usage: tools/wine-prefix.sh PREFIX
# Creates the Wine prefix once: no Mono/Gecko prompts, Wine's own fonts, Chinese font links, no
# window-manager waits, no crash dialog. Safe to call from several sessions at once.
set -uo pipefail

here=$(dirname "$(readlink -f "$0")")
. "$here/common.sh"
prefix=$(realpath -m "$1")
mkdir -p "$(dirname "$prefix")"
yieldora_windows_arches

exec 9>"$prefix.lock"
flock 9
marker=$(yieldora_prefix_marker "$prefix")
[ -f "$marker" ] && exit 0

export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree=;mshtml="
log=$prefix.log
rm -rf "$prefix"
# Wine's own messages say why a prefix could not be made (with WINEDEBUG=-all it prints only those).
wineboot -i >"$log" 2>&1
status=$?
# The server writes the registry files when it ends.
wineserver -w
if [ $status -ne 0 ] || [ ! -f "$prefix/system.reg" ]; then
    echo "wineboot exited with $status" >>"$log"
    yieldora_fail "making the Wine prefix $prefix" "wineboot -i (WINEPREFIX=$prefix)" "$log"
fi
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
rm -f "$log"
touch "$marker"
