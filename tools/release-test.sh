#!/bin/bash
# Usage: tools/release-test.sh ARCH... (win32, win64)
# Tests the programs as they ship: for each architecture given, builds the programs of the release
# preset (<arch>-release: the release runtime of cmake/ReleaseRuntime.cpp, its abort-only terminate
# handler, -fno-threadsafe-statics, unused sections dropped) and runs against its yieldora.exe and
# yieldora-cli.exe, under Wine, with the test preset's (<arch>) drivers:
#   - the command line's golden tests (yieldora-cli_*),
#   - the black-box tests (the program driven from another process, with libraries planted
#     beside it too),
#   - the release runtime's own checks,
#   - a short soak: RELEASE_SOAK_SECONDS seconds (20 unless set) of the seeded random user.
# Only the architectures named run: a machine that cannot execute 32-bit code passes win64 alone.
# The architectures run side by side, each in a Wine prefix of its own
# (build/wineprefix[-win64]-release).
# Prints each step's result and the wall time; exit code 1 when anything failed.
set -uo pipefail
cd "$(dirname "$(readlink -f "$0")")/.."
. tools/common.sh

[ $# -gt 0 ] || { echo "usage: tools/release-test.sh ARCH... (win32, win64)" >&2; exit 2; }
start=$(date +%s)
mkdir -p build
for arch in "$@"; do
    case $arch in
        win32 | win64) ;;
        *) echo "release-test: unknown architecture '$arch' (win32, win64)" >&2; exit 2 ;;
    esac
done

# release_arch ARCH: builds and tests one architecture's release programs; prints what it found.
release_arch() {
    local arch=$1 preset=$1-release
    local log=build/$preset.release-test.log
    echo "== release $arch"
    # Only the programs that ship, and the release runtime's check, are built with the release
    # flags. The tests that drive the programs from outside (and the planted library) are the test
    # preset's own, built once: placed where the release build would put them, they find the
    # release programs at the same relative paths.
    if ! yieldora_configure "$preset" >"$log" 2>&1 ||
        ! yieldora_build "$preset" --target yieldora yieldora-cli release_runtime_check >>"$log" 2>&1 ||
        ! yieldora_build "$arch" --target Yieldora_blackbox_win_test Yieldora_filesystem_win_test \
            yieldora_soak >>"$log" 2>&1 ||
        ! cp build/$arch/tests/Yieldora_blackbox_win_test.exe build/$arch/tests/Yieldora_filesystem_win_test.exe \
            build/$arch/tests/planted.dll build/$preset/tests/ >>"$log" 2>&1 ||
        ! cp build/$arch/yieldora-soak.exe build/$preset/ >>"$log" 2>&1; then
        grep -v '^\[' "$log" | tail -n 40
        echo "release-test: the $preset build failed (log: $log)" >&2
        return 1
    fi
    # The soak's ctest entry runs longer than this one wants: it runs on its own below. A Wine
    # prefix of its own, so that it can run beside the tests of the same architecture.
    local status=0
    if ! tools/wine-session.sh "$(yieldora_prefix_of $arch)-release" bash -c '
            ctest --test-dir "build/$1" -R "^(yieldora-cli_|Yieldora_blackbox_win_test|Yieldora_filesystem_win_test|release_runtime_check)" \
                --output-on-failure --timeout 180 &&
            cd "build/$1" && ../../tools/wine-run.sh ./yieldora-soak.exe ./yieldora.exe --seconds "$2" --seed 372373793' \
            release-test "$preset" "${RELEASE_SOAK_SECONDS:-20}" >>"$log" 2>&1; then
        cat "$log"
        status=1
    fi
    grep -E 'tests passed|tests failed|actions|restarts|FAIL' "$log" | tail -n 6
    return $status
}

# The architectures run side by side, each in its own build folders, prefix and display (most of
# their time is the soak's seconds and waits on Wine); their reports follow in the order given.
pids=()
for arch in "$@"; do
    release_arch "$arch" >"build/$arch-release.release-test.out" 2>&1 &
    pids+=($!)
done
arches=("$@")
status=0
for i in "${!pids[@]}"; do
    wait "${pids[$i]}" || status=1
    arch=${arches[$i]}
    cat "build/$arch-release.release-test.out"
    rm -f "build/$arch-release.release-test.out"
done
echo "== release-test: $(( $(date +%s) - start )) s for $*"
exit $status
