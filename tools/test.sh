#!/bin/bash
# make test: installs what is missing, builds the three presets and runs every test
# (win32 and win64 under Wine, native under AddressSanitizer and UBSan).
set -uo pipefail
cd "$(dirname "$(readlink -f "$0")")/.."

tools/setup.sh || exit 1

for preset in win32 win64 native; do
    echo "== build $preset"
    cmake --preset "$preset" >build-$preset.configure.log 2>&1 || { cat build-$preset.configure.log; rm -f build-$preset.configure.log; exit 1; }
    rm -f build-$preset.configure.log
    cmake --build --preset "$preset" -- -k 0 >build/$preset.build.log 2>&1 || { grep -v '^\[' build/$preset.build.log | tail -n 60; exit 1; }
done

# Runs one preset's tests; prints ctest's summary lines, and the whole log when something failed.
run_tests() {
    local preset=$1 log=build/$1.test.log rc
    ctest --preset "$preset" >"$log" 2>&1
    rc=$?
    if [ $rc -ne 0 ]; then
        cat "$log"
    fi
    echo "== test $preset"
    grep -E 'tests passed|tests failed|Total Test time|No tests were found' "$log"
    return $rc
}
export -f run_tests

status=0
tools/wine-session.sh build/wineprefix bash -c 'run_tests win32; a=$?; run_tests win64; b=$?; exit $((a || b))' || status=1
run_tests native || status=1
exit $status
