#!/bin/bash
# make test: installs what is missing, builds the three presets and runs every test (win32 and
# win64 under Wine, native under AddressSanitizer and UBSan), checks the naming rule, and checks
# that the scripts say why when Wine cannot run.
# On a machine that cannot execute 32-bit programs the win32 preset is still built (so that it keeps
# compiling and linking), but its tests are skipped, and a line says so and why.
# The steps overlap where they do not compete: while the first Windows preset's tests run under
# Wine (mostly waiting on the display), the other Windows build and then the native build and its
# tests run beside them. Each part's wall and processor times are printed, and every failure is
# repeated in the last lines with the part of its log that explains it.
set -uo pipefail
cd "$(dirname "$(readlink -f "$0")")/.."
. tools/common.sh

tools/setup.sh || exit 1
yieldora_windows_arches
# A fresh checkout's builds, prefixes and packages take about 4.2 GB.
free=$(yieldora_free_mb)
if [ -n "$free" ] && [ "$free" -lt 4500 ]; then
    yieldora_fail "finding room for the builds: make test needs about 4.5 GB, the disk has $free MB free" "df -m ."
fi
mkdir -p build/parts
rm -f build/parts/*

# part NAME COMMAND...: runs COMMAND as the part NAME, keeping its wall and processor times in
# build/parts/NAME.time and its exit status in build/parts/NAME.rc.
part() {
    local name=$1 rc TIMEFORMAT='%R %U %S'
    shift
    { time "$@" 2>&4; } 4>&2 2>"build/parts/$name.time"
    rc=$?
    echo $rc >"build/parts/$name.rc"
    return $rc
}

# The reason a part failed, kept for the last lines: STEP, COMMAND, LOG.
failed() {
    printf '%s\n' "$@" >"build/parts/failure.$(date +%s%N)"
}

# The presets configure side by side, each in its own folder.
presets=(win32 win64 native)
configures=()
for preset in "${presets[@]}"; do
    yieldora_configure "$preset" >build/$preset.configure.log 2>&1 &
    configures+=($!)
done
for i in "${!presets[@]}"; do
    preset=${presets[$i]}
    wait "${configures[$i]}" ||
        yieldora_fail "configuring the $preset preset" "cmake --preset $preset" build/$preset.configure.log
done

# Builds one preset's default targets (the tests and the programs they run; not the benchmarks)
# and, for the Windows presets, the driver the installers' test runs the installed program with.
build_preset() {
    local driver=()
    [ "$1" = native ] || driver=(--target all yieldora_drive)
    yieldora_build "$1" "${driver[@]}" -- -k 0 >build/$1.build.log 2>&1 ||
        { failed "building the $1 preset" "cmake --build --preset $1" build/$1.build.log; return 1; }
}

# Runs one preset's tests; prints ctest's summary lines.
run_tests() {
    local preset=$1 log=build/$1.test.log rc
    ctest --preset "$preset" >"$log" 2>&1
    rc=$?
    echo "== test $preset"
    grep -E 'tests passed|tests failed|Total Test time|No tests were found' "$log"
    if [ $rc -ne 0 ]; then
        failed "the $preset tests" "ctest --preset $preset" "$log"
    fi
    return $rc
}
export -f part failed build_preset run_tests

# The Windows preset whose tests run first is built first; the other one is built beside them.
if [ -n "$YIELDORA_NO_WIN32" ]; then
    first=win64 second=win32
else
    first=win32 second=win64
fi
export first second

# Each Windows preset's tests run in a Wine session of their own (prefixes, displays and
# wineservers), so that the two run side by side, and within it the tests that show windows run on
# the session's desktops side by side. Their prefixes, and the copies that the tests of another
# screen DPI, locale or work area run in, are made while the first preset builds (that mostly
# waits on Wine's first start), before any test runs in them.
desktops=$(yieldora_desktop_count)
export desktops
prefixes=()
for arch in $YIELDORA_ARCHES; do
    part prefix-$arch tools/wine-variants.sh $arch >build/wineprefix-$arch.out 2>&1 &
    prefixes+=($!)
done

echo "== build $first"
part build-$first build_preset $first
for p in "${prefixes[@]}"; do
    wait "$p" || { cat build/wineprefix-*.out; yieldora_fail "making the tests' Wine prefixes" \
        "tools/wine-variants.sh PRESET"; }
done
[ "$(cat build/parts/build-$first.rc)" = 0 ] ||
    yieldora_fail "building the $first preset" "cmake --build --preset $first" build/$first.build.log

# The installers' test and the release programs' tests, of the architectures this machine runs:
# they reuse those presets' builds, and start as soon as they are there.
packages() {
    # The installers: installed, upgraded and removed under Wine.
    part install tools/dist/test-install.sh $YIELDORA_ARCHES >build/install.out 2>&1 ||
        failed "installing, upgrading and removing the packages under Wine" \
            "tools/dist/test-install.sh $YIELDORA_ARCHES" build/install.out &
    # The programs as they ship (the release presets).
    part release tools/release-test.sh $YIELDORA_ARCHES >build/release.out 2>&1 ||
        failed "the release programs' tests" "tools/release-test.sh $YIELDORA_ARCHES" build/release.out &
}

# Beside the first preset's tests: the scripts' failure messages, the packages' tests, the second
# Windows build and its tests, the naming rule (clang-tidy over our sources as the win32 build
# compiles them), and the native build and tests.
(
    # The scripts behind make's commands, run with a Wine that cannot start, must say why. They
    # find the first preset built, and wait for its folder's lock where another part builds in it.
    part failure-messages tests/tools/wine-failures.sh >build/wine-failures.out 2>&1 &
    runs_second=false
    case " $YIELDORA_ARCHES " in *" $second "*) runs_second=true ;; esac
    $runs_second || packages
    part build-$second build_preset $second >build/$second.build.out 2>&1
    if $runs_second && [ "$(cat build/parts/build-$second.rc)" = 0 ]; then
        YIELDORA_DESKTOPS=$desktops tools/wine-session.sh "$(yieldora_prefix_of $second)" \
            part test-$second run_tests $second >build/$second.test.out 2>&1 &
        packages
    fi
    part naming tools/naming.sh >build/naming.out 2>&1 &
    part build-native build_preset native >build/native.build.out 2>&1 &&
        part test-native run_tests native >build/native.test.out 2>&1
    wait
) &
others=$!

YIELDORA_DESKTOPS=$desktops tools/wine-session.sh "$(yieldora_prefix_of $first)" part test-$first run_tests $first
wait $others
cat build/$second.test.out 2>/dev/null
if [ -n "$YIELDORA_NO_WIN32" ]; then
    echo "== test win32: skipped, this machine cannot execute 32-bit programs: $YIELDORA_NO_WIN32"
fi
for preset in $second native; do
    echo "== build $preset"
    cat build/$preset.build.out 2>/dev/null
done
cat build/native.test.out 2>/dev/null
echo "== release"
grep -E '^== release|tests passed|tests failed|actions' build/release.out
echo "== install"
grep -E '^test-install: (all passed|FAILED)' build/install.out
echo "== naming"
cat build/naming.out
[ "$(cat build/parts/naming.rc)" = 0 ] ||
    failed "the naming rule" "tools/naming.sh" build/naming.out

[ "$(cat build/parts/failure-messages.rc)" = 0 ] ||
    failed "the scripts' failure messages with a broken Wine" "tests/tools/wine-failures.sh" build/wine-failures.out
echo "== failure messages"
tail -n 1 build/wine-failures.out

echo "== times (wall s, processor s)"
for t in build/parts/*.time; do
    name=$(basename "$t" .time)
    read -r wall user system <"$t" || continue
    awk -v n="$name" -v w="$wall" -v u="$user" -v s="$system" 'BEGIN { printf "   %-18s %7.1f %7.1f\n", n, w, u + s }'
done

status=0
for f in build/parts/failure.*; do
    [ -e "$f" ] || continue
    status=1
    mapfile -t reason <"$f"
    echo
    echo "---- ${reason[2]} (the part that explains it):"
    yieldora_explain "${reason[2]}"
    echo "FAILED: ${reason[0]}"
    echo "  command: ${reason[1]}"
    echo "  whole log: ${reason[2]}"
done
[ $status = 0 ] || yieldora_low_disk
rm -f build/*.build.out build/*.test.out build/naming.out build/install.out build/release.out build/wineprefix-*.out
exit $status
