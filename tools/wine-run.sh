#!/bin/bash
# Usage: tools/wine-run.sh PROGRAM.exe [ARGS...]
# The tests' emulator: runs one Windows program under Wine inside a session (tools/wine-session.sh);
# outside a session it opens one of its own for this program.
set -euo pipefail

here=$(dirname "$(readlink -f "$0")")
. "$here/common.sh"
if [ -z "${YIELDORA_SESSION:-}" ]; then
    exec "$here/wine-session.sh" "${YIELDORA_WINEPREFIX:-$PWD/wineprefix}" "$0" "$@"
fi

# Wine fixes the system locale when the wineserver starts, and the screen's DPI (YIELDORA_WINE_DPI)
# is a setting of the prefix: a program that asks for another locale or DPI runs in its own copy of
# the prefix with a wineserver of its own.
variant=""
if [ "${LC_ALL:-}" != "${YIELDORA_SESSION_LOCALE:-}" ]; then
    variant="$variant-locale-${LC_ALL:-default}"
fi
if [ -n "${YIELDORA_WINE_DPI:-}" ]; then
    variant="$variant-dpi-$YIELDORA_WINE_DPI"
fi
if [ -n "$variant" ]; then
    base=$WINEPREFIX
    export WINEPREFIX="$base$variant"
    (
        flock 9
        if [ ! -f "$(yieldora_prefix_marker "$WINEPREFIX")" ]; then
            rm -rf "$WINEPREFIX"
            yieldora_copy_prefix "$base" "$WINEPREFIX"
            if [ -n "${YIELDORA_WINE_DPI:-}" ]; then
                for key in 'HKCU\Control Panel\Desktop' 'HKCC\Software\Fonts'; do
                    wine reg add "$key" /v LogPixels /t REG_DWORD /d "$YIELDORA_WINE_DPI" /f \
                        </dev/null >/dev/null 2>&1 9>&-
                done
                wineserver -k 9>&- || true
                wineserver -w 9>&- || true
            fi
        fi
        # The server and Wine's background processes must not inherit the lock (fd 9), or the
        # next program that wants this prefix would wait for it forever.
        if wineserver -p </dev/null >/dev/null 2>&1 9>&-; then
            "$here/wine-warmup.sh" 9>&-
        fi
    ) 9>"$WINEPREFIX.lock"
fi

exec wine "$@"
