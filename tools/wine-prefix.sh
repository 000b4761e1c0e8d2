#!/bin/bash
# Usage: tools/wine-prefix.sh PREFIX [--dpi N] [--contrast] [--copy-of BASE]
# Creates the Wine prefix once: no Mono/Gecko prompts, Wine's own fonts, Chinese font links, no
# window-manager waits, no crash dialog. With --copy-of, PREFIX is a copy of the finished prefix
# BASE instead, which no program may be using while it is copied (tools/wine-variants.sh makes the
# copies before any test runs). With --dpi, its screen's DPI is N; with --contrast, its system
# colours are those of Windows' High Contrast Black. Safe to call from several
# sessions at once; a prefix is marked finished only once it is whole, so a failed one is made
# again by the next call and never used.
set -uo pipefail

here=$(dirname "$(readlink -f "$0")")
. "$here/common.sh"
prefix=$(realpath -m "$1")
shift
dpi="" base="" contrast=""
while [ $# -gt 0 ]; do
    case $1 in
        --dpi) dpi=$2; shift ;;
        --contrast) contrast=1 ;;
        --copy-of) base=$(realpath -m "$2"); shift ;;
        *) echo "wine-prefix: unknown option '$1'" >&2; exit 2 ;;
    esac
    shift
done
mkdir -p "$(dirname "$prefix")"
yieldora_windows_arches

exec 9>"$prefix.lock"
flock 9
marker=$(yieldora_prefix_marker "$prefix")
[ -f "$marker" ] && exit 0

export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree=;mshtml="
log=$prefix.log
rm -rf "$prefix"
if [ -n "$base" ]; then
    [ -f "$(yieldora_prefix_marker "$base")" ] ||
        yieldora_fail "copying the Wine prefix $base, which is not finished" \
            "tools/wine-prefix.sh $prefix --copy-of $base"
    if ! yieldora_copy_prefix "$base" "$prefix" >"$log" 2>&1; then
        rm -rf "$prefix"
        yieldora_fail "copying the Wine prefix $base into $prefix" "yieldora_copy_prefix $base $prefix" "$log"
    fi
else
    # Wine's own messages say why a prefix could not be made (with WINEDEBUG=-all it prints only
    # those).
    wineboot -i >"$log" 2>&1
    status=$?
    # The server writes the registry files when it ends.
    wineserver -w
    if [ $status -ne 0 ] || [ ! -f "$prefix/system.reg" ]; then
        echo "wineboot exited with $status" >>"$log"
        yieldora_fail "making the Wine prefix $prefix" "wineboot -i (WINEPREFIX=$prefix)" "$log"
    fi
    wine reg import "$(winepath -w "$here/wine-prefix.reg" 2>/dev/null)" >/dev/null 2>&1
    # Debian's Wine finds its own fonts (Marlett draws the caption buttons, Tahoma the message
    # boxes) only inside the prefix.
    cp /usr/share/wine/fonts/*.ttf "$prefix/drive_c/windows/Fonts/"
    # The faces the windows use fall back to a font with Chinese glyphs ("Arial" is drawn with
    # Liberation Sans; bold Tahoma, as in captions, needs a link of its own). reg add, because reg
    # import stores REG_MULTI_SZ values byte by byte.
    for face in "Arial" "Liberation Sans" "Tahoma" "Tahoma Bold" "MS Shell Dlg" "MS Shell Dlg 2" \
        "Microsoft Sans Serif"; do
        wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink' \
            /v "$face" /t REG_MULTI_SZ /d 'wqy-microhei.ttc,WenQuanYi Micro Hei' /f >/dev/null 2>&1
    done
fi
if [ -n "$dpi" ]; then
    for key in 'HKCU\Control Panel\Desktop' 'HKCC\Software\Fonts'; do
        wine reg add "$key" /v LogPixels /t REG_DWORD /d "$dpi" /f </dev/null >>"$log" 2>&1 ||
            yieldora_fail "setting the screen's DPI of $prefix" "wine reg add '$key' /v LogPixels /d $dpi" "$log"
    done
fi
if [ -n "$contrast" ]; then
    # Wine reads the system colours from the registry when a program starts.
    for colour in Window=0,0,0 WindowText=255,255,255 Highlight=26,235,255 HighlightText=0,0,0 \
        GrayText=63,242,63 ButtonFace=0,0,0 ButtonText=255,255,255 HotTrackingColor=255,255,0; do
        wine reg add 'HKCU\Control Panel\Colors' /v "${colour%%=*}" /d "$(tr , ' ' <<<"${colour#*=}")" \
            /f </dev/null >>"$log" 2>&1 ||
            yieldora_fail "setting the system colours of $prefix" "wine reg add 'HKCU\Control Panel\Colors' /v ${colour%%=*}" "$log"
    done
fi
wineserver -w
rm -f "$log"
touch "$marker"
