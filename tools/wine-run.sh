#!/bin/bash
# Usage: tools/wine-run.sh PROGRAM.exe [ARGS...]
# The tests' emulator: runs one Windows program under Wine inside a session (tools/wine-session.sh);
# outside a session it opens one of its own for this program.
set -euo pipefail

here=$(dirname "$(readlink -f "$0")")
. "$here/common.sh"
desk=$(yieldora_desktop)
if [ -z "${YIELDORA_SESSION:-}" ]; then
    YIELDORA_DESKTOPS=$((desk + 1)) exec "$here/wine-session.sh" "${YIELDORA_WINEPREFIX:-$PWD/wineprefix}" "$0" "$@"
fi

# A test that shows windows runs on the desktop ctest gave it: its display, and its copy of the
# prefix with a wineserver of its own.
if [ "$desk" != 0 ]; then
    display=YIELDORA_DESKTOP_DISPLAY_$desk
    if [ -z "${!display:-}" ]; then
        echo "wine-run: ctest gave this test desktop $desk, and the session has no display for it" \
            "(tools/wine-session.sh with YIELDORA_DESKTOPS=$(yieldora_desktop_count))" >&2
        exit 1
    fi
    export DISPLAY=${!display}
fi

# A program of another desktop, or that asks for another locale or screen DPI, runs in its own copy
# of the prefix with a wineserver of its own (tools/common.sh). make test makes the copies before any test runs
# (tools/wine-variants.sh); one that is missing here is made anew, not copied from the prefix this
# session's programs are using.
variant=$(yieldora_variant_of "$(yieldora_desktop_prefix "$WINEPREFIX" "$desk")" "${LC_ALL:-}" \
    "${YIELDORA_WINE_DPI:-}" "${YIELDORA_WINE_PRINT:-}" "${YIELDORA_WINE_CONTRAST:-}")
if [ "$variant" != "$WINEPREFIX" ]; then
    export WINEPREFIX=$variant
    "$here/wine-prefix.sh" "$WINEPREFIX" ${YIELDORA_WINE_DPI:+--dpi "$YIELDORA_WINE_DPI"} \
        ${YIELDORA_WINE_CONTRAST:+--contrast} || exit 1
    (
        flock 9
        # The server and Wine's background processes must not inherit the lock (fd 9), or the
        # next program that wants this prefix would wait for it forever.
        if wineserver -p </dev/null >/dev/null 2>&1 9>&-; then
            "$here/wine-warmup.sh" 9>&-
        fi
    ) 9>"$WINEPREFIX.server.lock"
fi

# A program that prints: YIELDORA_WINE_PRINT=cups runs it beside a print server of its own with a
# PDF printer (tools/cups-session.sh), =none where no printer is installed.
case ${YIELDORA_WINE_PRINT:-} in
cups) exec "$here/cups-session.sh" wine "$@" ;;
none) CUPS_SERVER=$(mktemp -u "${TMPDIR:-/tmp}/yieldora-no-cups.XXXXXX") exec wine "$@" ;;
esac
exec wine "$@"
