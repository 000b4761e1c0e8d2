#!/bin/bash
# Usage: tools/dist/test-install.sh ARCH... (win32, win64)
# Tests the release packaging of each architecture from outside, as a user and a package manager
# meet it, reusing the programs of the tests' build (build/ARCH; built when missing):
#   - signs both programs and the Windows Installer packages with a throw-away self-signed
#     certificate and verifies every signature;
#   - writes the winget manifests of the packages and checks them (and that the check finds a
#     missing field and a wrong hash);
#   - under Wine (a prefix of its own, build/wineprefix-install): installs the package silently
#     with msiexec, checks the files, the Start-menu shortcut, the Installed-apps entry with its
#     icon, version and publisher; starts the installed program, calculates, closes it and finds
#     its profile under %APPDATA%\Yieldora; installs a newer package over it (one entry, the
#     profile kept); uninstalls (the folder, the shortcut and the entry gone, the profile kept);
#   - with both architectures: the win64 package installed over the win32 one replaces it.
# Says what it checks; fails on the first fault.
set -euo pipefail
cd "$(dirname "$(readlink -f "$0")")/../.."
root=$PWD
. tools/common.sh

step() { echo "test-install: $*"; }
fail() {
    echo "test-install: FAILED: $*" >&2
    exit 1
}

# ---- Under Wine: one architecture's packages in the prefix of this session. -------------------
if [ "${1:-}" = --inside ] || [ "${1:-}" = --across ]; then
    mode=$1
    shift
    # No Linux menu entries for the shortcuts the installs make.
    export WINEDLLOVERRIDES="$WINEDLLOVERRIDES;winemenubuilder.exe=d"
    windows_path() { winepath -w "$1" 2>/dev/null; }
    unix_path() { winepath -u "$1" 2>/dev/null; }
    # A 64-bit Wine now and then fails to start a process (tools/wine-warmup.sh): the queries below
    # ask again when the program gave no answer of its own.
    environment() {
        local attempt value
        for attempt in 1 2 3; do
            value=$(wine cmd /c echo "%$1%" 2>/dev/null | tr -d '\r')
            [ -n "$value" ] && [ "$value" != "%$1%" ] && break
        done
        echo "$value"
    }
    # reg query ARGS..., asked again until reg lists something or says there is nothing.
    reg_query() {
        local attempt output
        for attempt in 1 2 3; do
            output=$(wine reg query "$@" 2>&1 | tr -d '\r')
            grep -q -e '^HKEY_' -e '^ .* REG_' -e 'Unable to find' <<<"$output" && break
        done
        echo "$output"
    }
    msiexec() {
        local log=$work/msiexec-$1.log
        shift
        local code=0
        wine msiexec "$@" /qn /l*v "$(windows_path "$log")" || code=$?
        if [ "$code" -ne 0 ]; then
            tail -n 30 "$log" >&2
            fail "msiexec $* answered $code"
        fi
    }
    # The value of a registry value, empty when there is none. View: 32 or 64.
    registry() {
        reg_query "$1" /v "$2" "/reg:$3" | sed -n "s/^ *$2 *REG_[A-Z_]* *//p"
    }
    uninstall_key=Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall
    # Where the Installed-apps entry of a product code is: Windows keeps a per-user install's under
    # HKCU, Wine (8.0) under HKLM, in the view of the package's architecture.
    entry_of() {
        local hive view
        for hive in HKCU HKLM; do
            for view in 64 32; do
                if [ -n "$(registry "$hive\\$uninstall_key\\$1" DisplayName "$view")" ]; then
                    echo "$hive\\$uninstall_key\\$1 $view"
                    return
                fi
            done
        done
    }
    # The product codes of every Installed-apps entry named Yieldora, one a line.
    installed_codes() {
        local hive view
        for hive in HKCU HKLM; do
            for view in 64 32; do
                reg_query "$hive\\$uninstall_key" /s "/reg:$view" |
                    awk '/^HKEY_/ { n = split($0, part, "\\"); key = part[n] }
                         /^ *DisplayName *REG_SZ *Yieldora$/ { print key }'
            done
        done | sort -u
    }
    entries() { installed_codes | grep -c . || true; }

    local_data=$(unix_path "$(environment LOCALAPPDATA)")
    roaming=$(unix_path "$(environment APPDATA)")
    folder=$local_data/Programs/Yieldora
    profile=$roaming/Yieldora/yieldora.ini
    shortcut="$roaming/Microsoft/Windows/Start Menu/Programs/Yieldora 定期存款计算器.lnk"

    # A clean start: nothing of an earlier run, whatever its version.
    for code in $(installed_codes); do
        wine msiexec /x "$code" /qn >/dev/null 2>&1 || true
    done
    rm -rf "$folder" "$roaming/Yieldora"
    wine reg delete 'HKCU\Software\Yieldora' /f >/dev/null 2>&1 || true

    # The other architecture's package of the same version replaces the installed one.
    if [ "$mode" = --across ]; then
        work=$1
        step "the win64 package over the win32 one"
        msiexec across-win32 /i "$(windows_path "$1/old.msi")"
        msiexec across-win64 /i "$(windows_path "$2/old.msi")"
        [ "$(installed_codes)" = "$3" ] ||
            fail "installed after both: $(installed_codes | tr '\n' ' ')"
        cmp -s "$2/stage/yieldora.exe" "$folder/yieldora.exe" || fail "the win32 program stayed"
        msiexec across-uninstall /x "$3"
        [ "$(entries)" = 0 ] && [ ! -e "$folder" ] || fail "the uninstall left the program"
        step "one entry, the win64 program"
        exit 0
    fi
    arch=$1
    work=$2
    old_code=$3
    new_code=$4

    step "$arch: silent install"
    msiexec install /i "$(windows_path "$work/old.msi")"
    for file in yieldora.exe yieldora-cli.exe README.txt; do
        cmp -s "$work/stage/$file" "$folder/$file" || fail "$folder/$file is not the packed file"
    done
    [ -f "$shortcut" ] || fail "no Start-menu shortcut: $(ls "$(dirname "$shortcut")")"
    grep -aq 'yieldora\.exe' "$shortcut" || fail "the shortcut does not lead to yieldora.exe"
    read -r entry view <<<"$(entry_of "$old_code")"
    [ -n "$entry" ] || fail "no Installed-apps entry for $old_code"
    step "$arch: the Installed-apps entry is $entry (view $view)"
    [ "$(registry "$entry" DisplayName "$view")" = Yieldora ] || fail "entry: wrong name"
    [ "$(registry "$entry" Publisher "$view")" = Yieldora ] || fail "entry: wrong publisher"
    [ "$(registry "$entry" InstallLocation "$view")" = "$(windows_path "$folder")\\" ] ||
        fail "entry: install location '$(registry "$entry" InstallLocation "$view")'"
    [ "$(registry "$entry" DisplayVersion "$view")" = "$(cat "$work/old.version")" ] ||
        fail "entry: version $(registry "$entry" DisplayVersion "$view")"
    # The entry's icon: Windows shows the product icon the installer publishes.
    packed=$(sed 's/[{}-]//g' <<<"$old_code")
    packed=$(rev <<<"${packed:0:8}")$(rev <<<"${packed:8:4}")$(rev <<<"${packed:12:4}")$(
        sed 's/\(.\)\(.\)/\2\1/g' <<<"${packed:16:16}")
    icon=$(registry "HKCU\\Software\\Microsoft\\Installer\\Products\\$packed" ProductIcon 64)
    [ -n "$icon" ] || fail "no product icon published"
    cmp -s "$work/yieldora.ico" "$(unix_path "$icon")" || fail "the product icon is not ours: $icon"
    [ "$(registry 'HKCU\Software\Yieldora' InstallFolder 64)" = "$(windows_path "$folder")\\" ] ||
        fail "the install folder is not recorded"

    step "$arch: the installed program runs, calculates, closes and keeps its profile in %APPDATA%"
    printf '\n\n' | wine "$work/yieldora_drive.exe" "$(windows_path "$folder/yieldora.exe")" \
        "$(windows_path "$work/export.tsv")" >"$work/drive.log" 2>&1 || {
        cat "$work/drive.log" >&2
        fail "the installed program did not run"
    }
    grep -q '^exit 0' "$work/drive.log" || fail "the program ended: $(tail -n1 "$work/drive.log")"
    [ -f "$profile" ] || fail "no profile in $(dirname "$profile")"
    grep -q '^Fund=10000' "$profile" && grep -q '^WindowLeft=' "$profile" ||
        fail "the profile holds: $(cat "$profile")"
    [ ! -e "$folder/yieldora.ini" ] || fail "the installed program wrote a profile beside itself"
    cp "$profile" "$work/profile.before"
    # A copy run from anywhere else, as from the zip, keeps its profile beside itself as ever.
    printf '\n\n' | wine "$work/yieldora_drive.exe" "$(windows_path "$work/stage/yieldora.exe")" \
        "$(windows_path "$work/export.tsv")" >"$work/drive-zip.log" 2>&1 ||
        fail "the unpacked copy did not run: $(cat "$work/drive-zip.log")"
    [ -f "$work/stage/yieldora.ini" ] || fail "the unpacked copy wrote no profile beside itself"
    cmp -s "$profile" "$work/profile.before" || fail "the unpacked copy changed the installed one's profile"

    step "$arch: a newer package over it"
    msiexec upgrade /i "$(windows_path "$work/new.msi")"
    [ -z "$(entry_of "$old_code")" ] || fail "the older version's entry is still there"
    read -r entry view <<<"$(entry_of "$new_code")"
    [ -n "$entry" ] || fail "no Installed-apps entry for the newer version"
    [ "$(registry "$entry" DisplayVersion "$view")" = "$(cat "$work/new.version")" ] ||
        fail "entry: version $(registry "$entry" DisplayVersion "$view") after the upgrade"
    [ "$(entries)" = 1 ] || fail "$(entries) Installed-apps entries named Yieldora"
    cmp -s "$work/stage-new/README.txt" "$folder/README.txt" || fail "the read-me was not replaced"
    [ -f "$shortcut" ] || fail "the upgrade lost the shortcut"
    cmp -s "$profile" "$work/profile.before" || fail "the upgrade changed the profile"

    step "$arch: uninstall"
    msiexec uninstall /x "$new_code"
    [ ! -e "$folder" ] || fail "left in the program's folder: $(ls -A "$folder")"
    [ ! -e "$shortcut" ] || fail "the shortcut is still there"
    [ -z "$(entry_of "$new_code")" ] || fail "the Installed-apps entry is still there"
    [ "$(entries)" = 0 ] || fail "an Installed-apps entry named Yieldora is still there"
    [ -z "$(registry 'HKCU\Software\Yieldora' InstallFolder 64)" ] ||
        fail "the install folder is still recorded"
    cmp -s "$profile" "$work/profile.before" || fail "the uninstall changed or removed the profile"
    step "$arch: passed"
    exit 0
fi

# ---- Outside: the packages, their signatures and manifests, then the session. ----------------
[ $# -gt 0 ] || fail "usage: tools/dist/test-install.sh ARCH... (win32, win64)"
started=$(date +%s)
version=$(sed -n 's/^project(Yieldora VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
IFS=. read -r major minor build _ <<<"$version"
newer=$major.${minor:-0}.$((${build:-0} + 1))
test_root=$root/build/install-test
rm -rf "$test_root"
mkdir -p "$test_root"

# A throw-away code-signing certificate, made for this run only.
openssl req -x509 -newkey rsa:2048 -nodes -days 1 -subj "/CN=Yieldora test signing" \
    -addext "extendedKeyUsage=codeSigning" -addext "keyUsage=digitalSignature" \
    -keyout "$test_root/key.pem" -out "$test_root/cert.pem" >/dev/null 2>&1
export SIGN_CERT=$test_root/cert.pem SIGN_KEY=$test_root/key.pem
verify() {
    osslsigncode verify -CAfile "$SIGN_CERT" -in "$1" >"$1.verify.log" 2>&1 ||
        { cat "$1.verify.log" >&2; fail "the signature of $(basename "$1") does not verify"; }
    grep -q 'Signature verification: ok' "$1.verify.log" || fail "$(basename "$1"): no good signature"
}

sessions=()
for arch in "$@"; do
    case $arch in
        win32 | win64) ;;
        *) fail "unknown architecture '$arch' (win32 or win64)" ;;
    esac
    work=$test_root/$arch
    mkdir -p "$work/stage" "$work/stage-new" "$work/packages"
    if ! yieldora_build "$arch" --target yieldora yieldora-cli yieldora_drive >"$work/build.log" 2>&1; then
        (yieldora_configure "$arch" >/dev/null && yieldora_build "$arch" --target yieldora yieldora-cli \
            yieldora_drive) >"$work/build.log" 2>&1 ||
            { tail -n 30 "$work/build.log" >&2; fail "could not build the $arch programs"; }
    fi
    cp "build/$arch/yieldora_drive.exe" "build/$arch/res/icon1.ico" "$work/"
    mv "$work/icon1.ico" "$work/yieldora.ico"

    step "$arch: signing the programs and the packages"
    cp "build/$arch/yieldora.exe" "build/$arch/yieldora-cli.exe" "$work/stage/"
    tools/dist/sign.sh "$work/stage/yieldora.exe" "$work/stage/yieldora-cli.exe"
    verify "$work/stage/yieldora.exe"
    verify "$work/stage/yieldora-cli.exe"
    # The verification sees a program changed after signing.
    cp "$work/stage/yieldora.exe" "$work/tampered.exe"
    printf 'X' | dd of="$work/tampered.exe" bs=1 seek=4096 conv=notrunc status=none
    ! osslsigncode verify -CAfile "$SIGN_CERT" -in "$work/tampered.exe" >/dev/null 2>&1 ||
        fail "a program changed after signing still verifies"
    sed "s/@VERSION@/$version/" tools/dist/README.txt >"$work/stage/README.txt"
    cp "$work/stage/yieldora.exe" "$work/stage/yieldora-cli.exe" "$work/stage-new/"
    sed "s/@VERSION@/$newer/" tools/dist/README.txt >"$work/stage-new/README.txt"
    old=$work/packages/yieldora-$version-$arch.msi
    tools/dist/msi.sh "$work/stage" "$version" "$arch" "$work/yieldora.ico" "$old"
    tools/dist/msi.sh "$work/stage-new" "$newer" "$arch" "$work/yieldora.ico" "$work/new.msi"
    tools/dist/sign.sh "$old" "$work/new.msi"
    verify "$old"
    verify "$work/new.msi"
    cp "$old" "$work/old.msi"
    product_code() { msiinfo export "$1" Property | tr -d '\r' | sed -n 's/^ProductCode\t//p'; }
    package_version() { msiinfo export "$1" Property | tr -d '\r' | sed -n 's/^ProductVersion\t//p'; }
    package_version "$old" >"$work/old.version"
    package_version "$work/new.msi" >"$work/new.version"
    [ "$(product_code "$old")" != "$(product_code "$work/new.msi")" ] ||
        fail "the newer package has the older one's product code"

    step "$arch: the winget manifests"
    tools/dist/winget.sh "$version" "https://example.invalid/yieldora/$version" \
        "$work/manifests" "$old"
    tools/dist/check-winget.sh "$work/manifests" "$work/packages"
    # The check finds what it is there for: a required field missing, a hash that is not the file's.
    cp -r "$work/manifests" "$work/broken"
    sed -i '/^License:/d' "$work/broken"/y/Yieldora/Yieldora/*/*.locale.*.yaml
    ! tools/dist/check-winget.sh "$work/broken" "$work/packages" 2>/dev/null ||
        fail "check-winget.sh missed a missing License"
    rm -rf "$work/broken"
    cp -r "$work/manifests" "$work/broken"
    cp "$work/new.msi" "$work/packages-new.msi"
    mkdir -p "$work/packages-other" && cp "$work/new.msi" "$work/packages-other/$(basename "$old")"
    ! tools/dist/check-winget.sh "$work/broken" "$work/packages-other" 2>/dev/null ||
        fail "check-winget.sh missed a package that is not the one hashed"
    rm -rf "$work/broken" "$work/packages-other" "$work/packages-new.msi"

    sessions+=("$arch" "$work" "$(product_code "$old")" "$(product_code "$work/new.msi")")
done

while [ ${#sessions[@]} -gt 0 ]; do
    tools/wine-session.sh build/wineprefix-install "$0" --inside "${sessions[@]:0:4}"
    sessions=("${sessions[@]:4}")
done
if [ -d "$test_root/win32" ] && [ -d "$test_root/win64" ]; then
    tools/wine-session.sh build/wineprefix-install "$0" --across "$test_root/win32" \
        "$test_root/win64" "$(product_code "$test_root/win64/old.msi")"
fi
step "all passed in $(($(date +%s) - started)) s"
