#!/bin/bash
# Usage: tools/workarea-session.sh BASEPREFIX PROGRAM.exe [ARGS...]
# Runs one Windows program in a Wine session whose screen's work area does not start at the
# monitor's origin, as with a taskbar at the top or left: the work area is YIELDORA_WORKAREA
# ("left top width height", default "40 30 984 738" on the 1024 x 768 screen), and the program sees
# it in the same variable.
#
# Wine takes the work area from the X root window's _NET_WORKAREA when its desktop starts
# (SystemParametersInfo's SPI_SETWORKAREA only changes what SPI_GETWORKAREA answers: monitors keep
# their work area and maximised windows ignore it). So the session has its own Xvfb, which keeps
# the property (-noreset), and its own copy of BASEPREFIX with a wineserver of its own.
set -euo pipefail

here=$(dirname "$(readlink -f "$0")")
. "$here/common.sh"
yieldora_windows_arches
base=$(realpath -m "$1")
shift
export YIELDORA_WORKAREA=${YIELDORA_WORKAREA:-40 30 984 738}
prefix="$base-workarea"
"$here/wine-prefix.sh" "$base"
(
    flock 9
    if [ ! -f "$(yieldora_prefix_marker "$prefix")" ]; then
        rm -rf "$prefix"
        yieldora_copy_prefix "$base" "$prefix"
    fi
) 9>"$prefix.lock"

displayfile=$(mktemp)
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>"$displayfile" >/dev/null 2>&1 &
xvfb_pid=$!
cleanup() {
    kill "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null || true
    rm -f "$displayfile"
}
trap cleanup EXIT
for _ in $(seq 1 100); do
    [ -s "$displayfile" ] && break
    sleep 0.1
done
[ -s "$displayfile" ] || { echo "Xvfb did not start" >&2; exit 1; }
export DISPLAY=":$(head -n1 "$displayfile")"
xprop -root -f _NET_WORKAREA 32c -set _NET_WORKAREA "$(echo $YIELDORA_WORKAREA | tr ' ' ',')"

unset YIELDORA_SESSION
export YIELDORA_KEEP_DISPLAY=1
"$here/wine-session.sh" "$prefix" "$here/wine-run.sh" "$@"
