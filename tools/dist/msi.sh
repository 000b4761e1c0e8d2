#!/bin/bash
# msi.sh STAGE VERSION ARCH ICON OUT: the Windows Installer package of one architecture (win32 or
# win64) from STAGE (yieldora.exe, yieldora-cli.exe, README.txt), built with wixl from
# tools/dist/yieldora.wxs. VERSION is the program's (1.3 becomes the package version 1.3.0).
#
# The product code follows from the architecture and the version alone: rebuilding a release gives
# the same code (the winget manifest names it), and every new version gets a new one, which a
# major upgrade needs.
set -euo pipefail

stage=$1
version=$2
arch=$3
icon=$4
out=$5

IFS=. read -r major minor build _ <<<"$version"
package_version=$major.${minor:-0}.${build:-0}
case $arch in
    win32) platform=x86 win64=no ;;
    win64) platform=x64 win64=yes ;;
    *) echo "msi.sh: unknown architecture '$arch' (win32 or win64)" >&2; exit 1 ;;
esac
hash=$(printf 'Yieldora %s %s' "$arch" "$package_version" | sha1sum | tr a-f A-F)
# A name-based UUID (version 5 layout: the version nibble 5, the variant bits 10).
variant=$(printf '%X' $(( (0x${hash:16:1} & 3) | 8 )))
product_code="{${hash:0:8}-${hash:8:4}-5${hash:13:3}-$variant${hash:17:3}-${hash:20:12}}"

wxs=$(dirname "$(readlink -f "$0")")/yieldora.wxs
out=$(readlink -f "$out")
# wixl finds the package's files by plain names in the folder it runs in.
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$stage/yieldora.exe" "$stage/yieldora-cli.exe" "$stage/README.txt" "$work/"
cp "$icon" "$work/yieldora.ico"
(cd "$work" && wixl --arch "$platform" -D "Version=$package_version" \
    -D "ProductCode=$product_code" -D "Win64=$win64" -o "$out" "$wxs")

# What wixl (0.101) cannot make. The texts it cannot take, in the code page of Chinese
# (Simplified) that Windows Installer reads them in.
printf '\r\n\r\n936\t_ForceCodepage\r\n' >"$work/_ForceCodepage.idt"
msibuild "$out" -i "$work/_ForceCodepage.idt"
msibuild "$out" -q "UPDATE Shortcut SET Name = 'YIELDO~1.LNK|Yieldora 定期存款计算器', \
Description = '计算定期存款的逐年利息、累计本息和到期时的取款' WHERE Shortcut = 'YieldoraShortcut'"
msibuild "$out" -q "UPDATE LaunchCondition SET Description = '已安装更新版本的 Yieldora。' \
WHERE Condition = 'NOT WIX_DOWNGRADE_DETECTED'"
# wixl puts every custom action after InstallFinalize; the install location must be set before
# the product is registered.
msibuild "$out" -q "UPDATE CustomAction SET Type = 51 WHERE Action = 'SetInstallLocation'"
msibuild "$out" -q "UPDATE InstallExecuteSequence SET Sequence = 1001 \
WHERE Action = 'SetInstallLocation'"
upgrade_code=$(msiinfo export "$out" Property | tr -d '\r' | sed -n 's/^UpgradeCode\t//p')
# An upgrade of the same version (the other architecture's package) replaces the installed one
# instead of installing beside it.
msibuild "$out" -q "DELETE FROM Upgrade WHERE ActionProperty = 'WIX_UPGRADE_DETECTED'"
# 513: every version up to this one itself (512) is replaced, its features migrating (1).
msibuild "$out" -q "INSERT INTO Upgrade (UpgradeCode, VersionMax, Attributes, ActionProperty) \
VALUES ('$upgrade_code', '$package_version', 513, 'WIX_UPGRADE_DETECTED')"
