#!/bin/bash
# Checks the naming rule of docs/CONVENTIONS.md (.clang-tidy: readability-identifier-naming only)
# over our sources, parsed as the win32 build compiles them (build/win32/compile_commands.json,
# made by `cmake --preset win32`). Prints each violation once; fails when there is one. Two
# clang-tidy processes at a time: about four minutes of processor time in all.
set -uo pipefail
cd "$(dirname "$(readlink -f "$0")")/.."

[ -f build/win32/compile_commands.json ] || { echo "naming: run 'cmake --preset win32' first"; exit 1; }
# The sources are compiled with precompiled headers in GCC's format, which clang cannot read: the
# check uses precompiled headers of its own, made by clang from the same headers with the flags of
# their first user (about a third of each file's parsing).
database=$(mktemp -d)
trap 'rm -rf "$database"' EXIT
sed -e 's/ -Winvalid-pch//g' build/win32/compile_commands.json >"$database/compile_commands.json"

# clang reads the MinGW headers as the cross compiler sees them: its target, and its C++ library.
compiler=$(sed -n 's/^ *"command": "\([^ ]*g++[^ ]*\) .*/\1/p' $database/compile_commands.json | head -n 1)
arguments=(--target=i686-w64-mingw32)
while read -r folder; do
    case "$folder" in */c++*) arguments+=("-isystem$folder") ;; esac
done < <(echo | "$compiler" -E -x c++ - -v 2>&1 | sed -n '/#include <...> search starts here/,/End of search/p' |
    sed -n 's/^ \(\/.*\)$/\1/p')

number=0
for header in $(grep -o ' -include [^ ]*cmake_pch\.hxx' $database/compile_commands.json | sort -u | cut -d' ' -f3); do
    number=$((number + 1))
    # The first user's flags, without its own files and the program's defines of single tests.
    flags=$(grep -m 1 -F " -include $header " $database/compile_commands.json |
        sed -e 's/^ *"command": "[^ ]* //' -e 's/ -o [^ ]*//' -e 's/ -c [^ ]*",*$//' \
            -e "s| -include $header||" -e 's/ -DYIELDORA_[^ ]*//g')
    clang++ "${arguments[@]}" $flags -Wno-error -Wno-pragma-system-header-outside-header -x c++-header \
        "$header" -Xclang -emit-pch -o "$database/$number.pch" >"$database/$number.log" 2>&1 ||
        { cat "$database/$number.log"; echo "naming: clang could not precompile $header"; exit 1; }
    sed -i "s| -include $header| -include-pch $database/$number.pch|" $database/compile_commands.json
done
extra=()
for argument in "${arguments[@]}"; do
    extra+=("--extra-arg=$argument")
done

files=$(ls lib/*.cpp app/*.cpp cli/*.cpp tests/support/*.cpp tests/lib/*.cpp tests/app/*.cpp \
    tools/remote/*.cpp tools/soak/*.cpp)
output=$(echo "$files" | xargs -P2 -n6 clang-tidy --quiet -p $database \
    --header-filter="$(pwd)/(lib|app|cli|tests|tools)/" "${extra[@]}" 2>/dev/null)
# clang 14 cannot parse C++20's capture of a structured binding by a lambda; g++ can, and that is
# no naming matter.
found=$(echo "$output" | grep -E '(warning|error): ' | grep -v "reference to local binding '" | sort -u)
if [ -n "$found" ]; then
    echo "$found"
    echo "naming: $(echo "$found" | grep -c . ) violations of the naming rule (docs/CONVENTIONS.md)"
    exit 1
fi
echo "naming: every name follows the rule"
