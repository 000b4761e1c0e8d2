#!/bin/bash
# make dist: the release packages in build/dist/
#   yieldora-<version>-win32.zip, yieldora-<version>-win64.zip: yieldora.exe, yieldora-cli.exe and
#     the read-me, from the win32-release and win64-release presets;
#   yieldora-<version>-win32.msi, yieldora-<version>-win64.msi: the same files as a per-user Windows
#     Installer package (tools/dist/yieldora.wxs, built by tools/dist/msi.sh);
#   winget/: the winget manifests of the two packages (tools/dist/winget.sh), checked against them;
#     the packages are to be published under RELEASE_URL (https://example.invalid/yieldora/<version>
#     unless set; set it for a real release);
#   yieldora-cli-<version>-linux-x86_64.tar.gz: yieldora-cli and the read-me, from a release build
#     of our own (build/linux-release, without the sanitizers of the native preset).
# Given SIGN_CERT and SIGN_KEY (and SIGN_PASS, SIGN_TIMESTAMP: see tools/dist/sign.sh), both
# programs (in the zips and the packages) and the packages are signed; unsigned otherwise.
set -euo pipefail
cd "$(dirname "$(readlink -f "$0")")/.."
. tools/common.sh

tools/setup.sh || exit 1
version=$(sed -n 's/^project(Yieldora VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
release_url=${RELEASE_URL:-https://example.invalid/yieldora/$version}
signing=""
if [ -n "${SIGN_CERT:-}" ] || [ -n "${SIGN_KEY:-}" ]; then
    [ -f "${SIGN_CERT:-}" ] && [ -f "${SIGN_KEY:-}" ] ||
        { echo "make dist: SIGN_CERT and SIGN_KEY must both name files" >&2; exit 1; }
    signing=yes
fi
sign() {
    [ -z "$signing" ] || tools/dist/sign.sh "$@"
}
dist=build/dist
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
rm -rf "$dist"
mkdir -p "$dist"

# Runs a build step quietly; when it fails, says what failed and why (tools/common.sh).
quietly() {
    local log=$1
    shift
    yieldora_step "make dist: $*" "$log" "$@"
}

readme() {
    sed "s/@VERSION@/$version/" tools/dist/README.txt
}

# The release presets: smallest code (-Os measured smaller than -O2 at no cost the calculate or
# start-up benchmarks show), unused sections dropped, no symbols.
for arch in win32 win64; do
    preset=$arch-release
    quietly build/$preset.configure.log yieldora_configure $preset
    targets=$(ninja -C build/$preset -t targets all)
    if ! grep -q '^yieldora:' <<<"$targets"; then
        echo "make dist: the $preset build has no target 'yieldora' (yieldora.exe, defined in" \
             "res/CMakeLists.txt); the program cannot be packed without it." >&2
        exit 1
    fi
    quietly build/$preset.dist.log yieldora_build $preset --target yieldora yieldora-cli
    case $arch in
        win32) strip=i686-w64-mingw32-strip ;;
        win64) strip=x86_64-w64-mingw32-strip ;;
    esac
    folder=$stage/yieldora-$version-$arch
    mkdir -p "$folder"
    for program in yieldora yieldora-cli; do
        $strip -o "$folder/$program.exe" build/$preset/$program.exe
    done
    # The version the program shows in its file properties is the one of the packages.
    shown=$(strings -n 1 -el "$folder/yieldora.exe" | sed -n '/^ProductVersion$/{n;p;q}')
    if [ "$shown" != "$version" ]; then
        echo "make dist: yieldora.exe says version '$shown' (res/Yieldora.rc), CMakeLists.txt $version" >&2
        exit 1
    fi
    sign "$folder/yieldora.exe" "$folder/yieldora-cli.exe"
    # Windows' own editors want the byte-order mark and CR LF to show the Chinese text.
    { printf '\xef\xbb\xbf'; readme | sed 's/$/\r/'; } >"$folder/README.txt"
    touch -d "@0" "$folder" "$folder"/*
    (cd "$stage" && zip -q -X -r - "yieldora-$version-$arch") >"$dist/yieldora-$version-$arch.zip"
    msi=$dist/yieldora-$version-$arch.msi
    quietly build/$preset.msi.log tools/dist/msi.sh "$folder" "$version" "$arch" \
        build/$preset/res/icon1.ico "$msi"
    sign "$msi"
done

tools/dist/winget.sh "$version" "$release_url" "$dist/winget" "$dist"/yieldora-"$version"-win*.msi
tools/dist/check-winget.sh "$dist/winget" "$dist" >/dev/null

quietly build/linux-release.configure.log cmake -S . -B build/linux-release -G Ninja \
    -DCMAKE_BUILD_TYPE=MinSizeRel -DYIELDORA_RELEASE=ON -DCMAKE_CXX_COMPILER=g++ -DCMAKE_C_COMPILER=gcc \
    "-DCMAKE_EXE_LINKER_FLAGS=-static-libstdc++ -static-libgcc"
quietly build/linux-release.dist.log cmake --build build/linux-release --target yieldora-cli -j2
folder=$stage/yieldora-cli-$version-linux-x86_64
mkdir -p "$folder"
strip -o "$folder/yieldora-cli" build/linux-release/yieldora-cli
readme >"$folder/README.txt"
tar -C "$stage" --sort=name --owner=0 --group=0 --numeric-owner --mtime=@0 -czf \
    "$dist/yieldora-cli-$version-linux-x86_64.tar.gz" "yieldora-cli-$version-linux-x86_64"

ls -l "$dist"
find "$dist/winget" -type f
