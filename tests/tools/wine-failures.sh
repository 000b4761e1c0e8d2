#!/bin/bash
# The scripts behind make's commands, run with a Wine that cannot start (a `wine` on PATH that
# exits 126 as an unexecutable loader does) and with Wine's 32-bit loader hidden, must end with
# what failed and why: the step, the command and Wine's own message. Run by make test after the
# builds (make run and make soak find their programs built).
set -uo pipefail
cd "$(dirname "$(readlink -f "$0")")/../.."
. tools/common.sh
# The Wine this machine uses (on a machine that cannot execute 32-bit programs, the 64-bit loader
# from tools/wine64), which the broken one below is put before.
yieldora_windows_arches

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
broken=$work/bin
mkdir -p "$broken"
cat >"$broken/wine" <<'EOF'
#!/bin/sh
echo "broken-wine: /usr/lib/wine/wine: cannot execute binary file: Exec format error" >&2
exit 126
EOF
chmod +x "$broken/wine"
ln -s wine "$broken/wine-stable"
ln -s wine "$broken/wine32"

failures=0
checked=0
# expect NAME PATTERN... -- COMMAND...: COMMAND fails, and each PATTERN (an extended regular
# expression) matches one of its last 20 lines.
expect() {
    local name=$1 patterns=() output status
    shift
    while [ "$1" != "--" ]; do
        patterns+=("$1")
        shift
    done
    shift
    output=$("$@" 2>&1 </dev/null)
    status=$?
    checked=$((checked + 1))
    local last
    last=$(tail -n 20 <<<"$output")
    if [ $status -eq 0 ]; then
        echo "FAIL $name: exited with 0"
        failures=$((failures + 1))
        return
    fi
    for pattern in "${patterns[@]}"; do
        if ! grep -q -E -- "$pattern" <<<"$last"; then
            echo "FAIL $name: its last lines do not match '$pattern':"
            sed 's/^/    /' <<<"$last"
            failures=$((failures + 1))
            return
        fi
    done
    echo "ok   $name"
}

# Wine that cannot start, in the sessions and prefixes the scripts use for this machine's kind.
broken_wine() {
    env -u DISPLAY PATH="$broken:$PATH" "$@"
}

expect "a Wine prefix that cannot be made" \
    '^FAILED: making the Wine prefix' 'command: wineboot' 'Exec format error' 'exited with 126' -- \
    broken_wine tools/wine-session.sh "$work/prefix" true
expect "make run" '^FAILED: ' 'command: ' 'Exec format error' -- broken_wine make --no-print-directory run
expect "make soak" '^FAILED: (starting a program under Wine|making the Wine prefix)' 'command: wine' 'Exec format error' -- \
    broken_wine env SOAK_SECONDS=1 make --no-print-directory soak
expect "make run ARCH=win32 where 32-bit programs cannot run" \
    '^FAILED: running the 32-bit program: this machine cannot execute 32-bit programs' \
    "32-bit loader .*exited with 126" -- \
    env -u DISPLAY -u YIELDORA_ARCHES -u YIELDORA_NO_WIN32 YIELDORA_WINE32_LOADER="$broken/wine32" make --no-print-directory run ARCH=win32
expect "a build that fails shows the compiler's first error" \
    '^FAILED: building' 'command: ' "error: 'frobnicate' was not declared" -- \
    bash -c '. tools/common.sh; yieldora_step building "$0/build.log" sh -c "
        for i in \$(seq 1 50); do echo \"[\$i/90] Building CXX object x.obj\"; done
        echo \"app/UMainDialog.cpp:12:5: error: '\''frobnicate'\'' was not declared in this scope\"
        for i in \$(seq 1 50); do echo \"  note: candidate \$i\"; done; exit 1"' "$work"

if [ $failures -ne 0 ]; then
    echo "wine-failures: $failures of $checked failure paths did not say why"
    exit 1
fi
echo "wine-failures: all $checked failure paths say what failed and why"
