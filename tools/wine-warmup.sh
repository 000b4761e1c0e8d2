#!/bin/bash
# Starts the background processes of the current WINEPREFIX (services, explorer, and on machines
# that run 32-bit programs the 32-bit side too) with their output going nowhere, so that later
# programs find them running, and the desktop keeper (tools/desktop-keeper.cpp), which keeps the
# desktop open between programs. Fails, saying why, when Wine cannot run a program here.
here=$(dirname "$(readlink -f "$0")")
. "$here/common.sh"
log=$WINEPREFIX.warmup.log
# A 64-bit Wine without its preloader now and then fails to start a process (wine-notes): a second
# or third try starts it.
for attempt in 1 2 3; do
    wine cmd.exe /c exit </dev/null >"$log" 2>&1 && break
    [ $attempt -lt 3 ] ||
        yieldora_fail "starting a program under Wine (WINEPREFIX=$WINEPREFIX)" "wine cmd.exe /c exit" "$log"
    sleep 1
done
if [ -z "${YIELDORA_NO_WIN32:-}" ]; then
    wine 'C:\windows\syswow64\cmd.exe' /c exit </dev/null >/dev/null 2>&1 || true
fi

# The keeper is built once per checkout, beside the other builds.
keeper=$here/../build/desktop-keeper.exe
source=$here/desktop-keeper.cpp
if [ ! "$keeper" -nt "$source" ]; then
    mkdir -p "$(dirname "$keeper")"
    yieldora_step "building the desktop keeper" "$log" x86_64-w64-mingw32-g++-posix -std=c++20 -O2 -s \
        -static -municode -mwindows -Wall -Wextra -Werror "$source" -o "$keeper.$$"
    mv -f "$keeper.$$" "$keeper"
fi

# It stands once it has created its marker (Wine's drive Z: is the root).
marker=$(mktemp -u "${TMPDIR:-/tmp}/desktop-keeper.XXXXXX")
wine "$keeper" "Z:${marker//\//\\}" </dev/null >"$log" 2>&1 &
for _ in $(seq 1 200); do
    [ -e "$marker" ] && break
    sleep 0.05
done
[ -e "$marker" ] || yieldora_fail "starting the desktop keeper" "wine $keeper" "$log"
rm -f "$marker" "$log"
