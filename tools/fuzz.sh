#!/bin/bash
# make fuzz: builds the fuzz targets (fuzz/, clang with libFuzzer, AddressSanitizer and UBSan) into
# build/fuzz and runs each for FUZZ_SECONDS seconds (60 unless set) on one core, starting from the
# committed seeds in fuzz/corpus/<target>/. Inputs that fail are kept in build/fuzz/<target>/.
set -uo pipefail
cd "$(dirname "$(readlink -f "$0")")/.."
. tools/common.sh

tools/setup.sh || exit 1
seconds=${FUZZ_SECONDS:-60}
mkdir -p build/fuzz
yieldora_step "configuring the fuzz targets" build/fuzz/configure.log \
    cmake -S fuzz -B build/fuzz -G Ninja -DCMAKE_CXX_COMPILER=clang++
yieldora_step "building the fuzz targets" build/fuzz/build.log cmake --build build/fuzz -j2

root=$PWD
status=0
failed_targets=""
for target in NumberTexts NumberTextsDiff Lists Profile; do
    run=build/fuzz/$target
    rm -rf "$run"
    mkdir -p "$run/corpus"
    # One job in a worker of its own: its log is fuzz-0.log in the folder it runs in.
    (cd "$run" && "../${target}_fuzz" -jobs=1 -workers=1 -max_total_time="$seconds" \
        -print_final_stats=1 -artifact_prefix="$root/$run/" corpus "$root/fuzz/corpus/$target" \
        >/dev/null 2>&1) || true
    executions=$(sed -n 's/^stat::number_of_executed_units: *//p' "$run/fuzz-0.log" | tail -n 1)
    failures=$(find "$run" -maxdepth 1 -name 'crash-*' -o -maxdepth 1 -name 'leak-*' \
        -o -maxdepth 1 -name 'timeout-*' -o -maxdepth 1 -name 'oom-*')
    if [ -n "$failures" ] || [ -z "$executions" ]; then
        grep -E 'ERROR|does not hold|SUMMARY' "$run/fuzz-0.log" | head -n 20 || true
        echo "$target: FAILED (log: $run/fuzz-0.log) $failures"
        status=1
        failed_targets="$failed_targets $target (build/fuzz/$target/fuzz-0.log)"
    else
        echo "$target: ${executions} executions in ${seconds} s, no failure"
    fi
done
[ $status -eq 0 ] || echo "FAILED: fuzzing found failing inputs in:$failed_targets"
exit $status
