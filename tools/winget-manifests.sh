#!/usr/bin/env bash
# The release's manifests for the Windows Package Manager, multi-file format 1.10.0:
#   tools/winget-manifests.sh OUT_DIR SETUP.exe URL
# writes <identifier>.yaml (version), <identifier>.locale.en-US.yaml (default locale) and
# <identifier>.installer.yaml into OUT_DIR, for the signed setup program SETUP.exe that will be
# downloaded from URL. The texts come from resources/Product.h, the hash and the architecture from
# SETUP.exe itself, the elevation from its manifest's execution level. The documents are small and
# fixed, so they are written here directly, every text as a single-quoted YAML scalar.
set -euo pipefail
source "$(dirname "$0")/product-facts.sh"
out="$1"
setup="$2"
url="$3"
manifest_version=1.10.0
locale=en-US

case "$url" in
    http://*|https://*) ;;
    *) echo "release: RELEASE_URL must be an http:// or https:// URL, not $url" >&2; exit 1 ;;
esac

# A YAML single-quoted scalar: a quote inside is doubled.
quoted() { printf "'%s'" "${1//\'/\'\'}"; }

identifier="$(product_fact PACKAGE_IDENTIFIER)"
version="$(product_fact VERSION)"
name="$(product_fact PRODUCT_NAME)"
publisher="$(product_fact COMPANY_NAME)"
copyright="$(product_fact COPYRIGHT)"
license="$(product_fact LICENSE)"
description="$(product_fact SHORT_DESCRIPTION)"
sha256="$(sha256sum "$setup" | cut -d' ' -f1 | tr a-f A-F)"

# The machine field of the PE header, 4 bytes after the offset that the DOS header holds at 0x3c.
pe_offset="$(od -An -tu4 -j60 -N4 "$setup" | tr -d ' ')"
machine="$(od -An -tx2 -j$((pe_offset + 4)) -N2 "$setup" | tr -d ' ')"
case "$machine" in
    014c) architecture=x86 ;;
    8664) architecture=x64 ;;
    *) echo "release: $setup is no x86 or x64 Windows program (machine $machine)" >&2; exit 1 ;;
esac

# Asking for the highest rights available, the setup program raises the UAC prompt itself.
level="$(sed -n 's/.*requestedExecutionLevel[^>]*level="\([A-Za-z]*\)".*/\1/p' \
    "$(dirname "$PRODUCT_H")/setup.manifest")"
case "$level" in
    highestAvailable|requireAdministrator) elevation=elevatesSelf ;;
    *) echo "release: no elevation requirement known for the execution level '$level'" >&2; exit 1 ;;
esac

mkdir -p "$out"
header() {
    echo "# $name $version for the Windows Package Manager, written by tools/winget-manifests.sh."
    echo "# yaml-language-server: \$schema=https://aka.ms/winget-manifest.$1.$manifest_version.schema.json"
    echo
    echo "PackageIdentifier: $(quoted "$identifier")"
    echo "PackageVersion: $(quoted "$version")"
}

{
    header version
    echo "DefaultLocale: $locale"
    echo "ManifestType: version"
    echo "ManifestVersion: $manifest_version"
} >"$out/$identifier.yaml"

{
    header defaultLocale
    echo "PackageLocale: $locale"
    echo "Publisher: $(quoted "$publisher")"
    echo "PackageName: $(quoted "$name")"
    echo "License: $(quoted "$license")"
    echo "Copyright: $(quoted "$copyright")"
    echo "ShortDescription: $(quoted "$description")"
    echo "ManifestType: defaultLocale"
    echo "ManifestVersion: $manifest_version"
} >"$out/$identifier.locale.$locale.yaml"

# The uninstall entry is the key named for the product (its product code); its display name is the
# product's name in the language of the run, the English one for this locale.
# The exit codes other than 0: 1 the application is running (silent run), 2 a file could not be
# written, 3 the setup program is damaged.
{
    header installer
    cat <<YAML
InstallerType: exe
Scope: machine
InstallModes:
- interactive
- silent
- silentWithProgress
InstallerSwitches:
  Silent: '-S'
  SilentWithProgress: '-S'
  InstallLocation: '-D<INSTALLPATH>'
ExpectedReturnCodes:
- InstallerReturnCode: 1
  ReturnResponse: packageInUseByApplication
- InstallerReturnCode: 2
  ReturnResponse: fileInUse
- InstallerReturnCode: 3
  ReturnResponse: contactSupport
UpgradeBehavior: install
ElevationRequirement: $elevation
AppsAndFeaturesEntries:
- DisplayName: $(quoted "$name")
  Publisher: $(quoted "$publisher")
  DisplayVersion: $(quoted "$version")
  ProductCode: $(quoted "$name")
Installers:
- Architecture: $architecture
  InstallerUrl: $(quoted "$url")
  InstallerSha256: $sha256
ManifestType: installer
ManifestVersion: $manifest_version
YAML
} >"$out/$identifier.installer.yaml"
echo "$out/: package manifests for $identifier $version at $url"
