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
# the property (-noreset), and its own copy of BASEPREFIX (BASEPREFIX-workarea) with a wineserver
# of its own.
set -euo pipefail

here=$(dirname "$(readlink -f "$0")")
. "$here/common.sh"
yieldora_windows_arches
base=$(yieldora_desktop_prefix "$(realpath -m "$1")")
shift
# The session is this program's desktop: its programs are given no other.
unset CTEST_RESOURCE_GROUP_COUNT CTEST_RESOURCE_GROUP_0 CTEST_RESOURCE_GROUP_0_DESKTOPS
export YIELDORA_DESKTOPS=1
export YIELDORA_WORKAREA=${YIELDORA_WORKAREA:-40 30 984 738}
# make test copies the prefix before any test runs (tools/wine-variants.sh); one that is missing
# here is made anew by the session, not copied from a prefix other programs may be using.
prefix="$base-workarea"

cleanup() { yieldora_stop_display; }
trap cleanup EXIT
yieldora_start_display -noreset
xprop -root -f _NET_WORKAREA 32c -set _NET_WORKAREA "$(echo $YIELDORA_WORKAREA | tr ' ' ',')"

unset YIELDORA_SESSION
export YIELDORA_KEEP_DISPLAY=1
"$here/wine-session.sh" "$prefix" "$here/wine-run.sh" "$@"
