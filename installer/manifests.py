"""Writes the package managers' manifests for what scripts/dist.sh has just built:
  <dist>/winget/Inkwisp.Inkwisp.yaml, .installer.yaml, .locale.ja-JP.yaml, .locale.en-US.yaml
  <dist>/scoop/inkwisp.json
Usage: manifests.py <version> <download base URL> <dist folder>"""
import hashlib
import json
import os
import sys

IDENTIFIER = "Inkwisp.Inkwisp"
MANIFEST_VERSION = "1.6.0"
PUBLISHER = "The Inkwisp developers"
LICENSE = "MIT"
# The uninstall entry's key name (installer/inkwisp.nsi).
PRODUCT_CODE = "Inkwisp"
# The installer's switches for each scope, and its exit codes of a run that changed nothing.
SCOPE_SWITCHES = {"user": "/CurrentUser", "machine": "/AllUsers"}
EXIT_IN_USE = 32
EXIT_OLD_WINDOWS = 1150
DESCRIPTION = {
    "ja-JP": "手書きのメモ帳。マウス、指、ペンで書き、PNG のメモとして保存します。",
    "en-US": "A handwriting memo pad: write with the mouse, a finger or a stylus and save the page "
             "as a PNG memo.",
}


def sha256(path):
    with open(path, "rb") as f:
        return hashlib.sha256(f.read()).hexdigest().upper()


def quoted(text):
    """A YAML double-quoted scalar (JSON's string syntax is a subset of YAML's)."""
    return json.dumps(text, ensure_ascii=False)


def winget_file(folder, kind, suffix, lines):
    path = os.path.join(folder, IDENTIFIER + suffix + ".yaml")
    header = ["# Written by scripts/dist.sh.",
              "# yaml-language-server: $schema=https://aka.ms/winget-manifest.%s.%s.schema.json"
              % (kind, MANIFEST_VERSION), ""]
    with open(path, "w", encoding="utf-8", newline="\n") as f:
        f.write("\n".join(header + lines + ["ManifestType: " + kind,
                                             "ManifestVersion: " + MANIFEST_VERSION, ""]))


def write_winget(folder, version, base, setups):
    os.makedirs(folder, exist_ok=True)
    package = ["PackageIdentifier: " + IDENTIFIER, "PackageVersion: " + quoted(version)]
    winget_file(folder, "version", "", package + ["DefaultLocale: ja-JP"])

    installer = package + [
        "InstallerType: nullsoft",
        "MinimumOSVersion: 6.1.7600",
        "InstallModes:", "- interactive", "- silent", "- silentWithProgress",
        "UpgradeBehavior: install",
        "ProductCode: " + quoted(PRODUCT_CODE),
        "FileExtensions:", "- bmp", "- gif", "- jpeg", "- jpg", "- png",
        "ExpectedReturnCodes:",
        "- InstallerReturnCode: %d" % EXIT_IN_USE, "  ReturnResponse: packageInUse",
        "- InstallerReturnCode: %d" % EXIT_OLD_WINDOWS, "  ReturnResponse: systemNotSupported",
        "Installers:",
    ]
    for architecture, setup in setups.items():
        url, digest = base + "/" + os.path.basename(setup), sha256(setup)
        for scope, switch in SCOPE_SWITCHES.items():
            installer += ["- Architecture: " + architecture,
                          "  Scope: " + scope,
                          "  InstallerUrl: " + quoted(url),
                          "  InstallerSha256: " + digest,
                          "  InstallerSwitches:",
                          "    Interactive: " + switch,
                          "    Silent: /S " + switch,
                          "    SilentWithProgress: /S " + switch]
            # Every user's install needs administrator rights; winget asks for them first.
            if scope == "machine":
                installer.append("  ElevationRequirement: elevationRequired")
    winget_file(folder, "installer", ".installer", installer)

    for locale, kind in (("ja-JP", "defaultLocale"), ("en-US", "locale")):
        winget_file(folder, kind, ".locale." + locale, package + [
            "PackageLocale: " + locale,
            "Publisher: " + quoted(PUBLISHER),
            "PackageName: Inkwisp",
            "License: " + LICENSE,
            "ShortDescription: " + quoted(DESCRIPTION[locale]),
            "Moniker: inkwisp",
        ])


def write_scoop(folder, version, base, archives):
    """Both zips hold the same folder: Scoop picks the one of the machine's architecture."""
    os.makedirs(folder, exist_ok=True)
    # The zip's top folder stays: the program names its settings folder (%APPDATA%\Inkwisp) after
    # the folder it runs from, and Scoop's own folder would be "current". The settings live
    # outside Scoop's folder, so they outlast updates without "persist".
    manifest = {
        "version": version,
        "description": DESCRIPTION["en-US"],
        "homepage": base,
        "license": LICENSE,
        "architecture": {scoop: {"url": base + "/" + os.path.basename(archive),
                                 "hash": sha256(archive).lower()}
                         for scoop, archive in archives.items()},
        "bin": "Inkwisp\\inkwisp.exe",
        "shortcuts": [["Inkwisp\\inkwisp.exe", "Inkwisp"]],
    }
    with open(os.path.join(folder, "inkwisp.json"), "w", encoding="utf-8", newline="\n") as f:
        json.dump(manifest, f, indent=4, ensure_ascii=False)
        f.write("\n")


def main(version, base, dist):
    base = base.rstrip("/")
    write_winget(os.path.join(dist, "winget"), version, base,
                 {"x86": os.path.join(dist, "Inkwisp-%s-setup.exe" % version),
                  "x64": os.path.join(dist, "Inkwisp-%s-x64-setup.exe" % version)})
    write_scoop(os.path.join(dist, "scoop"), version, base,
                {"32bit": os.path.join(dist, "Inkwisp-%s-win32.zip" % version),
                 "64bit": os.path.join(dist, "Inkwisp-%s-x64.zip" % version)})


if __name__ == "__main__":
    main(*sys.argv[1:])
