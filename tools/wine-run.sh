#!/bin/bash
# Usage: tools/wine-run.sh PROGRAM.exe [ARGS...]
# The tests' emulator: runs one Windows program under Wine inside a session (tools/wine-session.sh);
# outside a session it opens one of its own for this program.
set -euo pipefail

here=$(dirname "$(readlink -f "$0")")
if [ -z "${YIELDORA_SESSION:-}" ]; then
    exec "$here/wine-session.sh" "${YIELDORA_WINEPREFIX:-$PWD/wineprefix}" "$0" "$@"
fi

# Wine fixes the system locale when the wineserver starts: a program that asks for another locale
# runs in its own copy of the prefix with a wineserver of its own.
if [ "${LC_ALL:-}" != "${YIELDORA_SESSION_LOCALE:-}" ]; then
    base=$WINEPREFIX
    export WINEPREFIX="$base-locale-${LC_ALL:-default}"
    (
        flock 9
        if [ ! -f "$WINEPREFIX/.yieldora-prefix-v2" ]; then
            rm -rf "$WINEPREFIX"
            cp -a "$base" "$WINEPREFIX"
        fi
        # The server and Wine's background processes must not inherit the lock (fd 9), or the
        # next program that wants this locale would wait for it forever.
        if wineserver -p </dev/null >/dev/null 2>&1 9>&-; then
            "$here/wine-warmup.sh" 9>&-
        fi
    ) 9>"$WINEPREFIX.lock"
fi

exec wine "$@"
