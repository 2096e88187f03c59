#!/usr/bin/env python3
"""The package manager's manifest set beside the built installer:
  - exactly the version, installer and default-locale manifests, named after
    the package and its default locale, each with its required fields;
  - all three agree on the package, its version (that of res/Version.h) and
    the manifest version;
  - the installer manifest describes this per-user NSIS installer (x86,
    silent with /S, an https address on the maker's site) with the real
    SHA-256 of the built file.
    CheckManifests.py <setup.exe> <manifest folder>
Prints one line per fault and exits 1 when there is any."""
import hashlib
import pathlib
import re
import sys

VERSION_HEADER = pathlib.Path(__file__).resolve().parents[2] / "res" / "Version.h"
REQUIRED = {
    "version": ["DefaultLocale"],
    "installer": ["InstallerType", "Scope", "InstallModes", "InstallerSwitches", "Installers"],
    "defaultLocale": ["PackageLocale", "Publisher", "PublisherUrl", "PackageName", "License",
                      "ShortDescription"],
}


def parse(text):
    """The block YAML the manifests use: mappings and lists nested by
    indentation, plain scalars. Answers the top mapping."""
    lines = [(len(l) - len(l.lstrip(" ")), l.strip()) for l in text.splitlines()
             if l.strip() and not l.lstrip().startswith("#")]

    def block(i, indent):
        if lines[i][1].startswith("- "):
            items = []
            while i < len(lines) and lines[i][0] == indent and lines[i][1].startswith("- "):
                rest = lines[i][1][2:]
                if re.match(r"[\w.-]+:( |$)", rest):
                    # A mapping inside the list: its first key on the dash's line.
                    lines[i] = (indent + 2, rest)
                    value, i = block(i, indent + 2)
                else:
                    value, i = rest, i + 1
                items.append(value)
            return items, i
        mapping = {}
        while i < len(lines) and lines[i][0] == indent and not lines[i][1].startswith("- "):
            key, _, value = lines[i][1].partition(":")
            value, i = value.strip(), i + 1
            if not value and i < len(lines) and (lines[i][0] > indent or lines[i][1].startswith("- ")):
                value, i = block(i, lines[i][0] if lines[i][0] > indent else indent)
            mapping[key.strip()] = value.strip('"\'') if isinstance(value, str) else value
        return mapping, i

    return block(0, 0)[0] if lines else {}


def main(setup, folder):
    setup, folder = pathlib.Path(setup), pathlib.Path(folder)
    faults = []
    version = re.search(r'#define SHADOWPANE_VERSION_TEXT "([^"]+)"', VERSION_HEADER.read_text()).group(1)
    manifests = {}
    for path in sorted(folder.glob("*.yaml")):
        fields = parse(path.read_text(encoding="utf-8"))
        manifests[fields.get("ManifestType")] = (path.name, fields)
    if sorted(manifests) != sorted(REQUIRED) or len(list(folder.glob("*.yaml"))) != 3:
        faults.append(f"{folder}: manifests {sorted(map(str, manifests))}, not {sorted(REQUIRED)}")
    for kind, (name, fields) in manifests.items():
        for field in ["PackageIdentifier", "PackageVersion", "ManifestVersion"] + REQUIRED.get(kind, []):
            if not fields.get(field):
                faults.append(f"{name}: no {field}")
        if fields.get("PackageVersion") != version:
            faults.append(f"{name}: version {fields.get('PackageVersion')}, not {version} of res/Version.h")
    for field in ["PackageIdentifier", "ManifestVersion"]:
        if len({fields.get(field) for _, fields in manifests.values()}) > 1:
            faults.append(f"the manifests disagree on {field}")
    if "version" in manifests and "defaultLocale" in manifests:
        package = manifests["version"][1].get("PackageIdentifier")
        locale = manifests["version"][1].get("DefaultLocale")
        expected = {"version": f"{package}.yaml", "installer": f"{package}.installer.yaml",
                    "defaultLocale": f"{package}.locale.{locale}.yaml"}
        for kind, (name, _) in manifests.items():
            if name != expected.get(kind):
                faults.append(f"{name}: should be named {expected.get(kind)}")
        if manifests["defaultLocale"][1].get("PackageLocale") != locale:
            faults.append("the default-locale manifest is not in the default locale")
    installer = manifests.get("installer", ("", {}))[1]
    for field, value in [("InstallerType", "nullsoft"), ("Scope", "user")]:
        if installer.get(field) != value:
            faults.append(f"installer manifest: {field} is {installer.get(field)}, not {value}")
    switches = installer.get("InstallerSwitches") or {}
    for mode in ["Silent", "SilentWithProgress"]:
        if switches.get(mode) != "/S":
            faults.append(f"installer manifest: the {mode} switch is {switches.get(mode)}, not /S")
    if not {"silent", "silentWithProgress"} <= set(installer.get("InstallModes") or []):
        faults.append("installer manifest: the silent modes are not offered")
    entries = installer.get("Installers") or [{}]
    entry = entries[0] if isinstance(entries[0], dict) else {}
    if len(entries) != 1 or entry.get("Architecture") != "x86":
        faults.append(f"installer manifest: installers {entries}, not one for x86")
    if not str(entry.get("InstallerUrl", "")).startswith("https://www.kestralynx.com/"):
        faults.append(f"installer manifest: InstallerUrl {entry.get('InstallerUrl')} is not on the maker's site")
    digest = hashlib.sha256(setup.read_bytes()).hexdigest()
    if str(entry.get("InstallerSha256", "")).lower() != digest:
        faults.append(f"installer manifest: InstallerSha256 {entry.get('InstallerSha256')} is not {digest} of {setup.name}")
    locale = manifests.get("defaultLocale", ("", {}))[1]
    for field, value in [("Publisher", "KESTRALYNX"), ("PackageName", "Shadowpane")]:
        if locale.get(field) != value:
            faults.append(f"default-locale manifest: {field} is {locale.get(field)}, not {value}")
    for fault in faults:
        print("FAIL:", fault)
    print(f"manifests: {len(manifests)} checked in {folder}")
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:3]))
