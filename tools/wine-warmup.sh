#!/bin/bash
# Starts the background processes of the current WINEPREFIX (services, explorer, 32-bit and
# 64-bit sides) with their output going nowhere, so that later programs find them running, and
# the desktop keeper (tools/desktop-keeper.cpp), which keeps the desktop open between programs.
here=$(dirname "$(readlink -f "$0")")
wine cmd.exe /c exit </dev/null >/dev/null 2>&1 || true
wine 'C:\windows\syswow64\cmd.exe' /c exit </dev/null >/dev/null 2>&1 || true

# The keeper is built once per checkout, beside the other builds.
keeper=$here/../build/desktop-keeper.exe
source=$here/desktop-keeper.cpp
if [ ! "$keeper" -nt "$source" ]; then
    mkdir -p "$(dirname "$keeper")"
    x86_64-w64-mingw32-g++-posix -std=c++20 -O2 -s -static -municode -mwindows -Wall -Wextra \
        -Werror "$source" -o "$keeper.$$" && mv -f "$keeper.$$" "$keeper" || exit 1
fi

# It stands once it has created its marker (Wine's drive Z: is the root).
marker=$(mktemp -u "${TMPDIR:-/tmp}/desktop-keeper.XXXXXX")
wine "$keeper" "Z:${marker//\//\\}" </dev/null >/dev/null 2>&1 &
for _ in $(seq 1 200); do
    [ -e "$marker" ] && break
    sleep 0.05
done
[ -e "$marker" ] || { echo "the desktop keeper did not start" >&2; exit 1; }
rm -f "$marker"
