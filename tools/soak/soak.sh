#!/bin/bash
# make soak: builds the 32-bit program and the soak driver, then lets the seeded random user of
# tools/soak/yieldora-soak.cpp drive yieldora.exe under Wine for SOAK_SECONDS seconds (600 unless
# set); SOAK_SEED repeats a run. Prints the seed, the numbers of actions and restarts and every
# failure; exit code 1 when anything failed.
set -uo pipefail
cd "$(dirname "$(readlink -f "$0")")/../.."

tools/setup.sh || exit 1
cmake --preset win32 >/dev/null || exit 1
cmake --build --preset win32 --target yieldora yieldora_soak >build/win32.soak-build.log 2>&1 ||
    { grep -v '^\[' build/win32.soak-build.log | tail -n 60; exit 1; }

args=(--seconds "${SOAK_SECONDS:-600}")
[ -n "${SOAK_SEED:-}" ] && args+=(--seed "$SOAK_SEED")
cd build/win32 && ../../tools/wine-session.sh ../wineprefix ../../tools/wine-run.sh ./yieldora-soak.exe ./yieldora.exe "${args[@]}"
