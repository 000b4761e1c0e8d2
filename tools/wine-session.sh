#!/bin/bash
# Usage: tools/wine-session.sh PREFIX COMMAND [ARGS...]
# Runs COMMAND inside one Wine session: the prefix PREFIX (created once), one Xvfb started and
# stopped by its PID, and a persistent wineserver so that each Windows program starts fast.
# Programs of the session are started with tools/wine-run.sh. On a machine that cannot execute
# 32-bit programs the session runs Wine through its 64-bit loader (tools/common.sh).
set -uo pipefail

here=$(dirname "$(readlink -f "$0")")
. "$here/common.sh"
prefix=$(realpath -m "$1")
shift

# A user's program cannot write where a folder's or a file's permissions forbid it; root passes
# over them. Run as root, the session gives up those rights (the wineserver, which opens the files,
# included), so that read-only folders and files refuse writes here as they do for a user.
# Where they cannot be given up, the tests of read-only folders say so when they fail.
unprivileged=(setpriv --bounding-set -dac_override,-dac_read_search,-fowner,-linux_immutable)
if [ "$(id -u)" = 0 ] && [ -z "${YIELDORA_SESSION_UNPRIVILEGED:-}" ]; then
    export YIELDORA_SESSION_UNPRIVILEGED=1
    if "${unprivileged[@]}" true 2>/dev/null; then
        exec "${unprivileged[@]}" "$0" "$prefix" "$@"
    fi
    echo "wine-session: cannot give up root's rights over permissions here (${unprivileged[*]})" >&2
fi

yieldora_windows_arches
export WINEPREFIX=$prefix
export YIELDORA_WINEPREFIX=$prefix
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree=;mshtml="
export YIELDORA_SESSION_LOCALE=${LC_ALL:-}

xvfb_pid=""
displayfile=$(mktemp)
cleanup() {
    for p in "$prefix" "$prefix"-locale-* "$prefix"-dpi-*; do
        [ -d "$p" ] && WINEPREFIX=$p wineserver -k >/dev/null 2>&1 || true
    done
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null || true
    rm -f "$displayfile" "$displayfile.log"
}
trap cleanup EXIT

if [ -z "${YIELDORA_KEEP_DISPLAY:-}" ] || [ -z "${DISPLAY:-}" ]; then
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$displayfile" >"$displayfile.log" 2>&1 &
    xvfb_pid=$!
    for _ in $(seq 1 100); do
        [ -s "$displayfile" ] && break
        sleep 0.1
    done
    [ -s "$displayfile" ] ||
        yieldora_fail "starting the virtual display" "Xvfb -displayfd 3 -screen 0 1024x768x24" "$displayfile.log"
    export DISPLAY=":$(head -n1 "$displayfile")"
fi

"$here/wine-prefix.sh" "$prefix" || exit 1
wineserver -p </dev/null >/dev/null 2>&1
# Start Wine's own background processes now, detached from our output: a test that started them
# would leave them holding its output pipe open until the test timed out.
"$here/wine-warmup.sh" || exit 1
export YIELDORA_SESSION=1
"$@"
