#!/bin/bash
# make bench-wine [ARCH=win64|win32]: builds and runs the benchmarks of bench/win/ (the calculate
# command, the start-up) under Wine with the 64-bit program unless win32 is asked for, and says
# which program they ran.
set -uo pipefail
cd "$(dirname "$(readlink -f "$0")")/.."
. tools/common.sh

arch=${1:-win64}
yieldora_windows_program "$arch" benchmarking
benchmarks=$(sed -n 's/^add_executable(\([A-Za-z]*_bench\) .*/\1/p' bench/win/CMakeLists.txt)
yieldora_step "configuring the $arch preset" build/$arch.configure.log yieldora_configure $arch
yieldora_step "building the Wine benchmarks ($arch)" build/$arch.bench-build.log \
    yieldora_build $arch --target $benchmarks
status=0
for benchmark in $benchmarks; do
    echo "== $benchmark: build/$arch/bench/win/$benchmark.exe ($arch)"
    tools/wine-session.sh "$(yieldora_prefix_of $arch)" tools/wine-run.sh build/$arch/bench/win/$benchmark.exe || status=1
done
exit $status
