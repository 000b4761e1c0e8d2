# Sourced by the scripts behind make's commands: how a step fails, and which Windows programs this
# machine can run.

# yieldora_fail STEP COMMAND [LOG]: ends the script with what failed and why. The last lines say the
# step, the command and the part of its log that explains it: a compiler's first errors, a Wine
# program's own message, or the log's end.
yieldora_fail() {
    local step=$1 command=$2 log=${3:-}
    if [ -n "$log" ] && [ -s "$log" ]; then
        echo "---- $log (the part that explains it):"
        yieldora_explain "$log"
    fi
    echo "FAILED: $step"
    echo "  command: $command"
    [ -n "$log" ] && echo "  whole log: $log"
    yieldora_low_disk
    exit 1
}

# The free space, in MB, of the disk that holds the checkout's build folder.
yieldora_free_mb() {
    df -Pm "$(dirname "$(readlink -f "${BASH_SOURCE[0]}")")/.." | awk 'NR == 2 { print $4 }'
}

# Says so when the disk that holds the build folder is all but full: a copy or a link that fails
# for want of room says little more than that it failed.
yieldora_low_disk() {
    local free
    free=$(yieldora_free_mb)
    if [ -n "$free" ] && [ "$free" -lt 1024 ]; then
        echo "  the disk that holds build/ has only $free MB free"
    fi
}

# The lines of a log that say why a step failed: the failed tests' first failures and their names
# (a ctest log), a compiler's or linker's first errors with their context, or else the last lines.
yieldora_explain() {
    local log=$1 errors
    if grep -q 'The following tests FAILED' "$log"; then
        grep -E -A 6 ': Failure$|Exception|page fault|Timeout|\*\*\*' "$log" | head -n 40
        sed -n '/The following tests FAILED/,$p' "$log"
        return
    fi
    errors=$(grep -n -E '(error|Error|ERROR)[: ]|undefined reference|No such file|FAILED:' "$log" |
        grep -v '^\[' | head -n 1 | cut -d: -f1)
    if [ -n "$errors" ]; then
        tail -n +"$((errors > 3 ? errors - 3 : 1))" "$log" | grep -v '^\[[0-9]*/[0-9]*\]' | head -n 40
    else
        tail -n 30 "$log"
    fi
}

# yieldora_step STEP LOG COMMAND...: runs COMMAND quietly into LOG; on failure ends the script
# through yieldora_fail.
yieldora_step() {
    local step=$1 log=$2
    shift 2
    mkdir -p "$(dirname "$log")"
    "$@" >"$log" 2>&1 || yieldora_fail "$step" "$*" "$log"
}

# yieldora_build PRESET [ARG...]: cmake --build --preset PRESET [ARG...] in the checkout, one at a
# time in each preset's folder: the parts of make test that run side by side build in the same
# folders, and two ninja processes must never work in one.
yieldora_build() {
    local preset=$1
    shift
    mkdir -p build
    flock "build/$preset.build.lock" cmake --build --preset "$preset" "$@"
}

# yieldora_configure PRESET [ARG...]: cmake --preset PRESET [ARG...], under the same lock as the
# preset's builds: a configure rewrites the build files that a ninja beside it would be reading.
yieldora_configure() {
    local preset=$1
    shift
    mkdir -p build
    flock "build/$preset.build.lock" cmake --preset "$preset" "$@"
}

# Whether this machine executes 32-bit x86 programs at all, found by trying: a minimal 32-bit Linux
# program (84 bytes of headers and _exit(0)) is written and run. Some machines of ours cannot,
# although their kernels were built to; there only the 64-bit programs run.
yieldora_machine_runs_32bit() {
    local probe status
    probe=$(mktemp "${TMPDIR:-/tmp}/yieldora-probe32.XXXXXX")
    echo 'f0VMRgEBAQAAAAAAAAAAAAIAAwABAAAAVIAECDQAAAAAAAAAAAAAADQAIAABAAAAAAAAAAEAAAAAAAAAAIAECACABAhdAAAAXQAAAAUAAAAAEAAAuAEAAAAx282A' |
        base64 -d >"$probe"
    chmod +x "$probe"
    "$probe" 2>/dev/null
    status=$?
    rm -f "$probe"
    return $status
}

# yieldora_windows_arches: sets YIELDORA_ARCHES to the Windows programs this machine can run under
# Wine ("win32 win64" or "win64"), and YIELDORA_NO_WIN32 to why the 32-bit ones cannot run (empty
# when they can). Found by running Wine's 32-bit loader once (YIELDORA_WINE32_LOADER names another
# one, to hide it). Where it cannot run, Wine is started through its 64-bit loader: Debian's `wine`
# would pick the 32-bit one whenever it is installed, and fail. A script started by another keeps
# what that one found.
yieldora_windows_arches() {
    if [ -n "${YIELDORA_ARCHES:-}" ]; then
        [ -z "${YIELDORA_NO_WIN32:-}" ] || yieldora_use_wine64
        return
    fi
    local loader=${YIELDORA_WINE32_LOADER:-/usr/lib/wine/wine} output status
    output=$("$loader" --version 2>&1)
    status=$?
    if [ $status -eq 0 ]; then
        YIELDORA_ARCHES="win32 win64"
        YIELDORA_NO_WIN32=""
    else
        YIELDORA_ARCHES="win64"
        YIELDORA_NO_WIN32="Wine's 32-bit loader '$loader --version' exited with $status${output:+ (${output##*: })}"
        yieldora_use_wine64
    fi
    export YIELDORA_ARCHES YIELDORA_NO_WIN32
}

# yieldora_windows_program ARCH DOING: installs what is missing and finds the Windows programs this
# machine can run (yieldora_windows_arches); fails, saying what it was DOING ("soaking"), when ARCH
# is win32 and 32-bit programs cannot run here.
yieldora_windows_program() {
    tools/setup.sh || exit 1
    yieldora_windows_arches
    if [ "$1" = win32 ] && [ -n "$YIELDORA_NO_WIN32" ]; then
        yieldora_fail "$2 the 32-bit program: this machine cannot execute 32-bit programs" \
            "$YIELDORA_NO_WIN32"
    fi
}

# Puts a `wine` and a `wine-stable` on PATH that start the 64-bit loader (winepath, wineboot and the
# other tools run `wine-stable`). Whether the system lets them run it without the kernel's random
# placement of memory (YIELDORA_WINE_NORANDOM, see tools/wine64/wine) is found once, here, rather
# than at each of the hundreds of starts; a script started by another keeps what that one found.
yieldora_use_wine64() {
    local shims
    shims=$(dirname "$(readlink -f "${BASH_SOURCE[0]}")")/wine64
    case ":$PATH:" in
    *":$shims:"*) ;;
    *) export PATH="$shims:$PATH" ;;
    esac
    export WINELOADER=/usr/lib/wine/wine64
    if [ -z "${YIELDORA_WINE_NORANDOM+set}" ]; then
        YIELDORA_WINE_NORANDOM=$(setarch -R true 2>/dev/null && echo 1)
        export YIELDORA_WINE_NORANDOM
    fi
}

# The file that marks a finished Wine prefix of this script set, for the programs this machine runs:
# a prefix made by the 64-bit loader alone cannot run 32-bit programs, so each kind has its own.
yieldora_prefix_marker() {
    if [ -n "${YIELDORA_NO_WIN32:-}" ]; then
        echo "$1/.yieldora-prefix-v4-win64"
    else
        echo "$1/.yieldora-prefix-v4-wow64"
    fi
}

# The Wine prefix of a Windows preset's tests and programs: each preset has its own, so that their
# sessions can run side by side (the same folder the build's tests use when run by ctest alone).
yieldora_prefix_of() {
    if [ "$1" = win32 ]; then echo build/wineprefix; else echo "build/wineprefix-$1"; fi
}

# The name of the copy of a Wine prefix that programs of the locale LOCALE (empty: the session's) and
# the screen DPI DPI (empty: the prefix's own, 96) run in: BASE-locale-X, BASE-dpi-N, or BASE itself.
# Wine fixes the system locale when the wineserver starts, and the DPI is a setting of the prefix.
# Programs that print (PRINT not empty: YIELDORA_WINE_PRINT) run in BASE-print: every Wine program
# that loads the print spooler writes the printers it finds into the prefix's registry, and drops
# those it does not find, so a printer of one test's print server must not be seen by the others.
# Programs of a high-contrast scheme (CONTRAST not empty: YIELDORA_WINE_CONTRAST) run in
# BASE-contrast, whose system colours are those of Windows' High Contrast Black.
yieldora_variant_of() {
    local base=$1 locale=$2 dpi=$3 print=${4:-} contrast=${5:-} variant=$1
    if [ "$locale" != "${YIELDORA_SESSION_LOCALE-${LC_ALL:-}}" ]; then
        variant="$variant-locale-${locale:-default}"
    fi
    if [ -n "$dpi" ]; then
        variant="$variant-dpi-$dpi"
    fi
    if [ -n "$print" ]; then
        variant="$variant-print"
    fi
    if [ -n "$contrast" ]; then
        variant="$variant-contrast"
    fi
    echo "$variant"
}

# yieldora_copy_prefix BASE COPY: copies the finished Wine prefix BASE, which no program may be
# using (its wineserver rewrites the registry files while it runs), into COPY, without the
# finished mark (the caller sets it once COPY is whole). Wine's own libraries (system32, syswow64:
# most of a prefix's 1.3 GB), which no program writes, are hard links into BASE; everything else
# (the registry, the users' folders) is copied, so that the copy's programs change nothing of BASE.
# Fails on any fault of the copy.
yieldora_copy_prefix() {
    local base=$1 copy=$2 folder
    rm -rf "$copy"
    mkdir -p "$copy" || return 1
    tar -C "$base" --exclude=./drive_c/windows/system32 --exclude=./drive_c/windows/syswow64 \
        --exclude="./$(basename "$(yieldora_prefix_marker "$base")")" -cf - . |
        tar -C "$copy" -xf - || return 1
    for folder in system32 syswow64; do
        if [ -d "$base/drive_c/windows/$folder" ]; then
            cp -al "$base/drive_c/windows/$folder" "$copy/drive_c/windows/$folder" || return 1
        fi
    done
    [ -f "$copy/drive_c/windows/system32/kernel32.dll" ] && [ -f "$copy/system.reg" ]
}

# yieldora_start_display [XVFB_OPTION...]: starts a virtual display of its own (1024 x 768) and
# exports DISPLAY; yieldora_stop_display stops every display started so. Ends the script, saying
# why, when it does not start.
YIELDORA_DISPLAY_PIDS=()
yieldora_start_display() {
    local file
    file=$(mktemp)
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp "$@" 3>"$file" >"$file.log" 2>&1 &
    YIELDORA_DISPLAY_PIDS+=($!)
    for _ in $(seq 1 100); do
        [ -s "$file" ] && break
        sleep 0.1
    done
    [ -s "$file" ] ||
        yieldora_fail "starting the virtual display" "Xvfb -displayfd 3 -screen 0 1024x768x24 $*" "$file.log"
    export DISPLAY=":$(head -n1 "$file")"
    rm -f "$file" "$file.log"
}

yieldora_stop_display() {
    local pid
    for pid in "${YIELDORA_DISPLAY_PIDS[@]}"; do
        kill "$pid" 2>/dev/null && wait "$pid" 2>/dev/null
    done
    YIELDORA_DISPLAY_PIDS=()
    return 0
}

# The desktops a test session offers the tests that show windows (tests/desktops.json, which ctest
# reads): each a display, and a Wine prefix with a wineserver of its own.
yieldora_desktop_count() {
    grep -c '"id"' "$(dirname "$(readlink -f "${BASH_SOURCE[0]}")")/../tests/desktops.json"
}

# The desktop ctest gave the running test (CTEST_RESOURCE_GROUP_0_DESKTOPS="id:N,slots:1"); 0 for
# a program that was given none.
yieldora_desktop() {
    local given=${CTEST_RESOURCE_GROUP_0_DESKTOPS:-id:0}
    given=${given#id:}
    echo "${given%%,*}"
}

# The Wine prefix of desktop DESK (the running test's unless given) for the base prefix BASE: BASE
# itself for desktop 0, else BASE-deskN.
yieldora_desktop_prefix() {
    local desk=${2:-$(yieldora_desktop)}
    if [ "$desk" = 0 ]; then echo "$1"; else echo "$1-desk$desk"; fi
}
