#!/bin/bash
# winget.sh VERSION URL MANIFESTS MSI...: the winget manifests of a release (schema 1.10.0) in
# MANIFESTS/y/Yieldora/Yieldora/VERSION/, the folder layout of the community repository: the
# version file, the installer file with one installer per package MSI... (yieldora-VERSION-win32.msi
# is the x86 one, -win64.msi the x64 one; each downloaded from URL/<its file name>), and the
# Chinese default locale. The hashes and product codes are read from the packages themselves.
set -euo pipefail

version=$1
url=$2
manifests=$3
shift 3

schema=1.10.0
id=Yieldora.Yieldora
folder=$manifests/y/Yieldora/Yieldora/$version
rm -rf "$folder"
mkdir -p "$folder"

property() {
    msiinfo export "$1" Property | tr -d '\r' | sed -n "s/^$2\t//p"
}

{
    echo "# yaml-language-server: \$schema=https://aka.ms/winget-manifest.version.$schema.schema.json"
    echo "PackageIdentifier: $id"
    echo "PackageVersion: \"$version\""
    echo "DefaultLocale: zh-CN"
    echo "ManifestType: version"
    echo "ManifestVersion: $schema"
} >"$folder/$id.yaml"

{
    echo "# yaml-language-server: \$schema=https://aka.ms/winget-manifest.installer.$schema.schema.json"
    echo "PackageIdentifier: $id"
    echo "PackageVersion: \"$version\""
    echo "InstallerLocale: zh-CN"
    echo "InstallerType: msi"
    echo "Scope: user"
    echo "InstallModes:"
    echo "- interactive"
    echo "- silent"
    echo "- silentWithProgress"
    echo "UpgradeBehavior: install"
    echo "Installers:"
    for msi in "$@"; do
        name=$(basename "$msi")
        case $name in
            *-win32.msi) architecture=x86 ;;
            *-win64.msi) architecture=x64 ;;
            *) echo "winget.sh: $name is neither a -win32.msi nor a -win64.msi" >&2; exit 1 ;;
        esac
        sha=$(sha256sum "$msi" | cut -d' ' -f1 | tr a-f A-F)
        echo "- Architecture: $architecture"
        echo "  InstallerUrl: $url/$name"
        echo "  InstallerSha256: $sha"
        echo "  ProductCode: \"$(property "$msi" ProductCode)\""
        echo "  AppsAndFeaturesEntries:"
        echo "  - DisplayName: $(property "$msi" ProductName)"
        echo "    Publisher: $(property "$msi" Manufacturer)"
        echo "    DisplayVersion: \"$(property "$msi" ProductVersion)\""
        echo "    ProductCode: \"$(property "$msi" ProductCode)\""
        echo "    UpgradeCode: \"$(property "$msi" UpgradeCode)\""
    done
    echo "ManifestType: installer"
    echo "ManifestVersion: $schema"
} >"$folder/$id.installer.yaml"

{
    echo "# yaml-language-server: \$schema=https://aka.ms/winget-manifest.defaultLocale.$schema.schema.json"
    echo "PackageIdentifier: $id"
    echo "PackageVersion: \"$version\""
    echo "PackageLocale: zh-CN"
    echo "Publisher: Yieldora"
    echo "PackageName: Yieldora"
    echo "License: Proprietary"
    echo "Copyright: Yieldora"
    echo "ShortDescription: 定期存款计算器：逐年利息、累计本息和到期时的取款"
    echo "Description: Yieldora 计算定期存款的逐年利息、累计本息和到期时的取款，并可把结果表导出为以制表符分隔的文本。附带结果相同的命令行程序 yieldora-cli。"
    echo "Moniker: yieldora"
    echo "Tags:"
    echo "- 定期存款"
    echo "- 利息"
    echo "- deposit"
    echo "- interest"
    echo "- calculator"
    echo "ManifestType: defaultLocale"
    echo "ManifestVersion: $schema"
} >"$folder/$id.locale.zh-CN.yaml"
