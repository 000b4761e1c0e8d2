#!/bin/bash
# make soak [ARCH=win64|win32]: builds the program (the 64-bit one unless win32 is asked for) and the
# soak driver, then lets the seeded random user of tools/soak/yieldora-soak.cpp drive yieldora.exe
# under Wine for SOAK_SECONDS seconds (600 unless set); SOAK_SEED repeats a run. Prints which
# program it ran, the seed, the numbers of actions and restarts and every failure; exit code 1
# when anything failed.
set -uo pipefail
cd "$(dirname "$(readlink -f "$0")")/../.."
. tools/common.sh

arch=${1:-win64}
yieldora_windows_program "$arch" soaking
yieldora_step "configuring the $arch preset" build/$arch.configure.log yieldora_configure $arch
yieldora_step "building yieldora.exe and the soak driver ($arch)" build/$arch.soak-build.log \
    yieldora_build $arch --target yieldora yieldora_soak

args=(--seconds "${SOAK_SECONDS:-600}")
[ -n "${SOAK_SEED:-}" ] && args+=(--seed "$SOAK_SEED")
echo "== soak: build/$arch/yieldora.exe ($arch)"
# A prefix of its own, so that a soak and the tests can run side by side without sharing a desktop.
prefix=$(realpath -m "$(yieldora_prefix_of $arch)-soak")
cd build/$arch && ../../tools/wine-session.sh "$prefix" ../../tools/wine-run.sh ./yieldora-soak.exe \
    ./yieldora.exe "${args[@]}"
