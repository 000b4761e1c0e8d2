#!/bin/bash
# Usage: tools/wine-session.sh PREFIX COMMAND [ARGS...]
# Runs COMMAND inside one Wine session: the prefix PREFIX (created once), one Xvfb started and
# stopped by its PID, and a persistent wineserver so that each Windows program starts fast.
# Programs of the session are started with tools/wine-run.sh. YIELDORA_DESKTOPS=N gives the tests
# that show windows N desktops (displays and prefixes) to run on side by side. On a machine that cannot execute
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

# Sessions of one prefix may run side by side (ctest run by hand gives each test a session of its
# own, one per desktop): each holds a shared lock on the prefix's session file while it runs, and
# only the last one to end stops the wineservers of the prefix and its copies.
mkdir -p "$(dirname "$prefix")"
exec {sessions}>>"$prefix.sessions"
flock -s "$sessions"
cleanup() {
    flock -u "$sessions"
    if flock -n -x "$sessions"; then
        for p in "$prefix" "$prefix"-locale-* "$prefix"-dpi-* "$prefix"-print "$prefix"-contrast \
            "$prefix"-desk*; do
            [ -d "$p" ] && WINEPREFIX=$p wineserver -k >/dev/null 2>&1 || true
        done
        flock -u "$sessions"
    fi
    yieldora_stop_display
}
trap cleanup EXIT

if [ -z "${YIELDORA_KEEP_DISPLAY:-}" ] || [ -z "${DISPLAY:-}" ]; then
    yieldora_start_display
fi
# With YIELDORA_DESKTOPS=N, the tests that show windows run on N desktops side by side
# (tools/wine-run.sh): the first is this display, each other one a display of its own.
first_display=$DISPLAY
for ((desk = 1; desk < ${YIELDORA_DESKTOPS:-1}; desk++)); do
    yieldora_start_display
    export "YIELDORA_DESKTOP_DISPLAY_$desk=$DISPLAY"
done
export DISPLAY=$first_display

"$here/wine-prefix.sh" "$prefix" || exit 1
wineserver -p </dev/null >/dev/null 2>&1
# Start Wine's own background processes now, detached from our output: a test that started them
# would leave them holding its output pipe open until the test timed out.
"$here/wine-warmup.sh" || exit 1
export YIELDORA_SESSION=1
"$@"
