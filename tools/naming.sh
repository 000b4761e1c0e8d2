#!/bin/bash
# Checks the naming rule of docs/CONVENTIONS.md (.clang-tidy: readability-identifier-naming only)
# over our sources, parsed as the win32 build compiles them (build/win32/compile_commands.json,
# made by `cmake --preset win32`). Prints each violation once; fails when there is one. Two
# clang-tidy processes at a time: about four minutes of processor time in all.
set -uo pipefail
cd "$(dirname "$(readlink -f "$0")")/.."

[ -f build/win32/compile_commands.json ] || { echo "naming: run 'cmake --preset win32' first"; exit 1; }
# A file whose contents, whose own headers' contents (as the win32 build last read them) and whose
# compile command are as they were at an earlier clean pass is not checked again: those passes are
# kept outside the checkout (YIELDORA_NAMING_CACHE, ~/.cache/yieldora-naming unless set), one
# empty file per clean file, named by the hash of all that.
cache=${YIELDORA_NAMING_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/yieldora-naming}
mkdir -p "$cache"
root=$(pwd)
# Every source's headers of our own, as "source header" lines, paths relative to the checkout.
headers=$(ninja -C build/win32 -t deps 2>/dev/null | awk -v build="$root/build/win32/" -v root="$root/" '
    /^[^ ].*: #deps/ { source = ""; first = 1; next }
    /^    / {
        path = substr($0, 5)
        if (path !~ /^\//) path = build path
        # Resolve the "dir/../" steps of a path relative to the build folder.
        while (sub(/[^\/]+\/\.\.\//, "", path)) {}
        if (index(path, root) != 1 || index(path, root "build/") == 1) next
        path = substr(path, length(root) + 1)
        if (first) { source = path; first = 0; next }
        if (source != "") print source, path
    }')
all=$(ls lib/*.cpp app/*.cpp cli/*.cpp tests/support/*.cpp tests/lib/*.cpp tests/app/*.cpp \
    tools/remote/*.cpp tools/soak/*.cpp)
# The hash of each source: of its contents, its headers' (all of ours where the build has not read
# it), its compile command in the checkout's terms, the rule and this check.
common=$( (cat .clang-tidy tools/naming.sh; clang-tidy --version) | sha256sum | cut -d' ' -f1)
fingerprints=$(
    {
        sha256sum $all lib/*.h app/*.h cli/*.h res/*.h tests/support/*.h tools/remote/*.h 2>/dev/null |
            sed 's/^/hash /'
        sed 's/^/uses /' <<<"$headers"
        grep -E '^ *"(command|file)": ' build/win32/compile_commands.json | sed "s|$root/||g; s/^ */command /"
        sed 's/^/source /' <<<"$all"
    } | awk -v common="$common" '
        $1 == "hash" { hash[$3] = $2; if ($3 ~ /\.h$/) ours = ours " " $3; next }
        $1 == "uses" { uses[$2] = uses[$2] " " $3; next }
        $1 == "command" && $2 == "\"command\":" { command = $0; next }
        $1 == "command" { file = $3; gsub(/[",]/, "", file); commands[file] = command; next }
        $1 == "source" {
            list = ($2 in uses) ? uses[$2] : ours
            n = split(list, names, " ")
            text = common " " $2 " " hash[$2] " " commands[$2]
            for (i = 1; i <= n; i++) text = text " " names[i] "=" hash[names[i]]
            print $2, text
        }' |
        while read -r source text; do
            echo "$source $(sha256sum <<<"$text" | cut -d' ' -f1)"
        done
)
files="" checked=()
while read -r source key; do
    if [ ! -e "$cache/$key" ]; then
        files="$files $source"
        checked+=("$key")
    fi
done <<<"$fingerprints"
if [ -z "$files" ]; then
    echo "naming: every name follows the rule (no file changed since the last clean check)"
    exit 0
fi

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

output=$(echo $files | tr ' ' '\n' | xargs -P2 -n6 clang-tidy --quiet -p $database \
    --header-filter="$(pwd)/(lib|app|cli|tests|tools)/" "${extra[@]}" 2>/dev/null)
# clang 14 cannot parse C++20's capture of a structured binding by a lambda; g++ can, and that is
# no naming matter.
found=$(echo "$output" | grep -E '(warning|error): ' | grep -v "reference to local binding '" | sort -u)
if [ -n "$found" ]; then
    echo "$found"
    echo "naming: $(echo "$found" | grep -c . ) violations of the naming rule (docs/CONVENTIONS.md)"
    exit 1
fi
for key in "${checked[@]}"; do
    touch "$cache/$key"
done
echo "naming: every name follows the rule (checked $(wc -w <<<"$files") of $(wc -w <<<"$all") files; the others are unchanged since a clean check)"
