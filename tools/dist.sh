#!/bin/bash
# make dist: the release packages in build/dist/
#   yieldora-<version>-win32.zip, yieldora-<version>-win64.zip: yieldora.exe, yieldora-cli.exe and
#     the read-me, from the win32-release and win64-release presets;
#   yieldora-cli-<version>-linux-x86_64.tar.gz: yieldora-cli and the read-me, from a release build
#     of our own (build/linux-release, without the sanitizers of the native preset).
set -euo pipefail
cd "$(dirname "$(readlink -f "$0")")/.."

tools/setup.sh
version=$(sed -n 's/^project(Yieldora VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
dist=build/dist
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
rm -rf "$dist"
mkdir -p "$dist"

# Runs a build step quietly; shows its log when it fails.
quietly() {
    local log=$1
    shift
    "$@" >"$log" 2>&1 || { tail -n 40 "$log"; echo "make dist: '$*' failed (log: $log)" >&2; exit 1; }
}

readme() {
    sed "s/@VERSION@/$version/" tools/dist/README.txt
}

# The release presets: smallest code (-Os measured smaller than -O2 at no cost the calculate or
# start-up benchmarks show), unused sections dropped, no symbols.
for arch in win32 win64; do
    preset=$arch-release
    quietly build/$preset.configure.log cmake --preset $preset
    targets=$(ninja -C build/$preset -t targets all)
    if ! grep -q '^yieldora:' <<<"$targets"; then
        echo "make dist: the $preset build has no target 'yieldora' (yieldora.exe, defined in" \
             "res/CMakeLists.txt); the program cannot be packed without it." >&2
        exit 1
    fi
    quietly build/$preset.dist.log cmake --build --preset $preset --target yieldora yieldora-cli
    case $arch in
        win32) strip=i686-w64-mingw32-strip ;;
        win64) strip=x86_64-w64-mingw32-strip ;;
    esac
    folder=$stage/yieldora-$version-$arch
    mkdir -p "$folder"
    for program in yieldora yieldora-cli; do
        $strip -o "$folder/$program.exe" build/$preset/$program.exe
    done
    # Windows' own editors want the byte-order mark and CR LF to show the Chinese text.
    { printf '\xef\xbb\xbf'; readme | sed 's/$/\r/'; } >"$folder/README.txt"
    touch -d "@0" "$folder" "$folder"/*
    (cd "$stage" && zip -q -X -r - "yieldora-$version-$arch") >"$dist/yieldora-$version-$arch.zip"
done

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
