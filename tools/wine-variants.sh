#!/bin/bash
# Usage: tools/wine-variants.sh PRESET
# Makes the Wine prefix of a Windows preset's tests and every copy of it that the preset's tests on
# another desktop, or of another screen DPI, locale or work area, run in (ctest's list of the tests
# says which), before any program runs in it: a copy is taken only from a prefix whose wineserver
# has ended, so that no registry file is copied while it is being written. make test runs this while
# the first preset builds; the tests' sessions then find every prefix they use finished.
set -uo pipefail
cd "$(dirname "$(readlink -f "$0")")/.."
. tools/common.sh
yieldora_windows_arches

preset=$1
base=$(realpath -m "$(yieldora_prefix_of "$preset")")
tools/wine-prefix.sh "$base" || exit 1
tests=$(ctest --preset "$preset" --show-only=json-v1 2>/dev/null) ||
    yieldora_fail "listing the $preset tests" "ctest --preset $preset --show-only=json-v1"

# Nothing runs in the base prefix yet; its server may still be writing the registry as it ends.
WINEPREFIX=$base wineserver -w
# The copies are made side by side: each has a wineserver of its own, and the ones that change a
# setting spend most of their time waiting for Wine to start.
copies=()
copy() {
    tools/wine-prefix.sh "$@" --copy-of "$base" &
    copies+=($!)
}
# Each desktop of the session (tools/wine-session.sh) has its prefix and copies of its own.
dpis=$(grep -o '"YIELDORA_WINE_DPI=[0-9]*"' <<<"$tests" | tr -dc '0-9\n' | sort -u)
locales=$(grep -o '"LC_ALL=[^"]*"' <<<"$tests" | sed 's/"LC_ALL=\(.*\)"/\1/' | sort -u)
for ((desk = 0; desk < $(yieldora_desktop_count); desk++)); do
    desktop=$(yieldora_desktop_prefix "$base" $desk)
    [ "$desktop" = "$base" ] || copy "$desktop"
    for dpi in $dpis; do
        copy "$(yieldora_variant_of "$desktop" "${LC_ALL:-}" "$dpi")" --dpi "$dpi"
    done
    for locale in $locales; do
        copy "$(yieldora_variant_of "$desktop" "$locale" "")"
    done
    if grep -q '"YIELDORA_WINE_PRINT=' <<<"$tests"; then
        copy "$(yieldora_variant_of "$desktop" "${LC_ALL:-}" "" print)"
    fi
    if grep -q '"YIELDORA_WINE_CONTRAST=' <<<"$tests"; then
        copy "$(yieldora_variant_of "$desktop" "${LC_ALL:-}" "" "" contrast)" --contrast
    fi
    if grep -q 'workarea-session\.sh' <<<"$tests"; then
        copy "$desktop-workarea"
    fi
done
status=0
for pid in "${copies[@]}"; do
    wait "$pid" || status=1
done
exit $status
