#!/bin/bash
# check-winget.sh MANIFESTS PACKAGES: checks the winget manifests winget.sh wrote under MANIFESTS
# against the packages in PACKAGES: every field the manifest schema requires is there and has the
# form the schema asks for, the three files agree on the package and its version, and each
# installer's SHA-256 and product code are those of the package file its URL names. Says what is
# wrong and fails on the first file with a fault.
set -euo pipefail
export LC_ALL=C.UTF-8

manifests=$1
packages=$2
id=Yieldora.Yieldora
folder=$(find "$manifests" -mindepth 4 -maxdepth 4 -type d -path "*/Yieldora/Yieldora/*" | head -n1)
[ -n "$folder" ] || { echo "check-winget: no manifests under $manifests" >&2; exit 1; }
version=$(basename "$folder")
faults=0

fault() {
    echo "check-winget: $*" >&2
    faults=$((faults + 1))
}

# The value of a top-level key, without quotes; empty when the key is missing.
value() {
    sed -n "s/^$2: *//p" "$1" | head -n1 | sed 's/^"\(.*\)"$/\1/'
}

# Checks a top-level key against an extended regular expression and a length in characters.
field() {
    local file=$1 key=$2 pattern=$3 min=$4 max=$5 text length
    text=$(value "$file" "$key")
    length=$(printf '%s' "$text" | wc -m)
    if ! grep -q "^$key:" "$file"; then
        fault "$(basename "$file"): the required $key is missing"
    elif [ "$length" -lt "$min" ] || [ "$length" -gt "$max" ]; then
        fault "$(basename "$file"): $key '$text' has $length characters, not $min to $max"
    elif ! grep -Eq -- "$pattern" <<<"$text"; then
        fault "$(basename "$file"): $key '$text' does not match $pattern"
    fi
}

identifier='^[^.[:space:]\\/:*?"<>|]{1,32}(\.[^.[:space:]\\/:*?"<>|]{1,32}){1,7}$'
package_version='^[^\\/:*?"<>|]+$'
locale='^([a-zA-Z]{2,3}|[iI]-[a-zA-Z]+|[xX]-[a-zA-Z]{1,8})(-[a-zA-Z]{1,8})*$'
manifest_version='^[0-9]{1,5}\.[0-9]{1,5}\.[0-9]{1,5}$'
guid='^\{[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}\}$'

for kind in version installer defaultLocale; do
    case $kind in
        version) file=$folder/$id.yaml ;;
        installer) file=$folder/$id.installer.yaml ;;
        defaultLocale) file=$folder/$id.locale.$(value "$folder/$id.yaml" DefaultLocale).yaml ;;
    esac
    [ -f "$file" ] || { fault "the $kind manifest $(basename "$file") is missing"; continue; }
    schema=$(value "$file" ManifestVersion)
    grep -qx "# yaml-language-server: \$schema=https://aka.ms/winget-manifest.$kind.$schema.schema.json" \
        "$file" || fault "$(basename "$file"): its schema line does not name the $kind schema $schema"
    field "$file" PackageIdentifier "^$id\$" 1 128
    grep -Eq "$identifier" <<<"$id" || fault "$id is no package identifier"
    field "$file" PackageVersion "^$version\$" 1 128
    grep -Eq "$package_version" <<<"$version" || fault "$version is no package version"
    field "$file" ManifestType "^$kind\$" 1 20
    field "$file" ManifestVersion "$manifest_version" 5 17
    [ "$(printf '%s\n' "$schema" 1.6.0 | sort -V | head -n1)" = 1.6.0 ] ||
        fault "$(basename "$file"): schema $schema is older than 1.6.0"
    case $kind in
        version) field "$file" DefaultLocale "$locale" 2 20 ;;
        defaultLocale)
            field "$file" PackageLocale "^$(value "$folder/$id.yaml" DefaultLocale)\$" 2 20
            field "$file" Publisher . 2 256
            field "$file" PackageName . 2 256
            field "$file" License . 3 512
            field "$file" ShortDescription . 3 256
            ;;
        installer)
            field "$file" InstallerType '^(msi|wix)$' 3 3
            field "$file" Scope '^user$' 4 4
            # One line per installer: architecture, URL, hash, product code.
            installers=$(awk '
                /^Installers:/ { inside = 1; next }
                /^[^ -]/ { inside = 0 }
                !inside { next }
                /^- Architecture:/ { if (n++) print a "\t" u "\t" s "\t" p; a = $3; u = s = p = "" }
                /^  InstallerUrl:/ { u = $2 }
                /^  InstallerSha256:/ { s = $2 }
                /^  ProductCode:/ { p = $2; gsub(/"/, "", p) }
                END { if (n) print a "\t" u "\t" s "\t" p }' "$file")
            [ -n "$installers" ] || fault "$(basename "$file"): no installers"
            while IFS=$'\t' read -r architecture url sha product; do
                [ -n "$architecture" ] || continue
                grep -Eqx 'x86|x64|arm|arm64|neutral' <<<"$architecture" ||
                    fault "installer: architecture '$architecture' is not one of the schema's"
                grep -Eq '^[Hh][Tt][Tt][Pp][Ss]?://.+$' <<<"$url" ||
                    fault "installer $architecture: '$url' is no installer URL"
                grep -Eqx '[A-Fa-f0-9]{64}' <<<"$sha" ||
                    fault "installer $architecture: '$sha' is no SHA-256"
                grep -Eq "$guid" <<<"$product" ||
                    fault "installer $architecture: '$product' is no product code"
                msi=$packages/$(basename "$url")
                if [ ! -f "$msi" ]; then
                    fault "installer $architecture: $(basename "$url") is not in $packages"
                    continue
                fi
                actual=$(sha256sum "$msi" | cut -d' ' -f1)
                [ "${sha,,}" = "$actual" ] ||
                    fault "installer $architecture: SHA-256 $sha, but $(basename "$msi") has $actual"
                actual=$(msiinfo export "$msi" Property | tr -d '\r' | sed -n 's/^ProductCode\t//p')
                [ "$product" = "$actual" ] ||
                    fault "installer $architecture: product code $product, but $(basename "$msi") has $actual"
            done <<<"$installers"
            ;;
    esac
done

[ "$faults" -eq 0 ] || exit 1
echo "check-winget: the manifests of $id $version are complete and match the packages"
