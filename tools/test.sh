#!/bin/bash
# make test: installs what is missing, builds the three presets and runs every test
# (win32 and win64 under Wine, native under AddressSanitizer and UBSan), and checks the naming rule.
# The steps overlap where they do not compete: while the win32 tests run under Wine (mostly
# waiting on the display), the win64 build and then the native build and its tests run beside
# them; the win64 tests follow in the same Wine session.
set -uo pipefail
cd "$(dirname "$(readlink -f "$0")")/.."

tools/setup.sh || exit 1
mkdir -p build

for preset in win32 win64 native; do
    cmake --preset "$preset" >build/$preset.configure.log 2>&1 || { cat build/$preset.configure.log; exit 1; }
done

# Builds one preset's default targets (the tests and the programs they run; not the benchmarks).
build_preset() {
    cmake --build --preset "$1" -- -k 0 >build/$1.build.log 2>&1 ||
        { grep -v '^\[' build/$1.build.log | tail -n 60; return 1; }
}

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

# A fresh checkout's Wine prefix is made while win32 builds (it mostly waits on Wine's first start),
# in a session of its own as every prefix is; the session of the tests waits for it.
tools/wine-session.sh build/wineprefix true >build/wineprefix.out 2>&1 &
prefix=$!

echo "== build win32"
build_preset win32 || exit 1
wait $prefix || { cat build/wineprefix.out; exit 1; }

# The naming rule (clang-tidy over our sources as the win32 build compiles them) runs beside the
# tests; its verdict comes at the end.
tools/naming.sh >build/naming.out 2>&1 &
naming=$!

# The win64 build leaves its exit status in build/win64.build.rc for the session to wait on.
rm -f build/win64.build.rc
(
    build_preset win64 >build/win64.build.out 2>&1
    echo $? >build/win64.build.rc
    build_preset native >build/native.build.out 2>&1 || exit 2
    run_tests native >build/native.test.out 2>&1
) &
others=$!

# The win64 tests wait for their build; a failed build is reported after the session.
wait_for_win64() {
    while [ ! -s build/win64.build.rc ]; do
        sleep 1
    done
    [ "$(cat build/win64.build.rc)" = 0 ]
}
export -f wait_for_win64

status=0
tools/wine-session.sh build/wineprefix bash -c \
    'run_tests win32; a=$?; b=1; if wait_for_win64; then run_tests win64; b=$?; fi; exit $((a || b))' ||
    status=1
echo "== build win64"
cat build/win64.build.out
[ "$(cat build/win64.build.rc 2>/dev/null)" = 0 ] || status=1

wait $others
native=$?
echo "== build native"
cat build/native.build.out
[ -f build/native.test.out ] && cat build/native.test.out
[ $native -eq 0 ] || status=1
wait $naming
naming_status=$?
echo "== naming"
cat build/naming.out
[ $naming_status -eq 0 ] || status=1
rm -f build/win64.build.rc build/win64.build.out build/native.build.out build/native.test.out build/naming.out \
    build/wineprefix.out
exit $status
