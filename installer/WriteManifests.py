#!/usr/bin/env python3
"""Writes the package manager's manifest set for the per-user installer:
the version, installer and default-locale manifests in the multi-file YAML
form, into a folder next to the installer.
    WriteManifests.py <setup.exe> <output folder>
The version and names come from res/Version.h, the maker's site from the
installer script, the checksum from the installer itself."""
import hashlib
import pathlib
import re
import sys

SOURCE = pathlib.Path(__file__).resolve().parent.parent
MANIFEST_VERSION = "1.6.0"
LOCALE = "en-US"
# The installer's own exit codes, named in installer/Shadowpane.nsi, as the
# package manager reads them.
RETURN_RESPONSES = {
    "EXIT_FILES_IN_USE": "packageInUse",
    "EXIT_NEWER_INSTALLED": "downgrade",
    "EXIT_BAD_PRESET": "invalidParameter",
}


def defines(path, pattern):
    text = path.read_text(encoding="utf-8")
    return dict(re.findall(pattern, text, re.M))


def identity():
    header = defines(SOURCE / "res" / "Version.h", r'^#define SHADOWPANE_(\w+) "([^"]*)"')
    script = defines(SOURCE / "installer" / "Shadowpane.nsi", r'^!define (\w+) "?([^"$\n]*)"?$')
    return {
        "company": header["COMPANY_NAME"],
        "product": header["PRODUCT_NAME"],
        "version": header["VERSION_TEXT"],
        "description": header["FILE_DESCRIPTION"],
        "copyright": header["COPYRIGHT"],
        "website": script["WEBSITE"],
        "uninstall_entry": script["UNINSTALL_KEY"].rsplit("\\", 1)[1],
        "return_codes": [(int(script[name]), response) for name, response in RETURN_RESPONSES.items()],
    }


def write(folder, name, lines, kind):
    text = "\n".join(lines + [f"ManifestType: {kind}", f"ManifestVersion: {MANIFEST_VERSION}", ""])
    (folder / name).write_text(text, encoding="utf-8")


def main(setup, folder):
    setup, folder = pathlib.Path(setup), pathlib.Path(folder)
    folder.mkdir(parents=True, exist_ok=True)
    for old in folder.glob("*.yaml"):
        old.unlink()
    i = identity()
    package = f"{i['company']}.{i['product']}"
    head = [f"PackageIdentifier: {package}", f"PackageVersion: {i['version']}"]
    page = f"{i['website']}/{i['product'].lower()}/"
    write(folder, f"{package}.yaml", head + [f"DefaultLocale: {LOCALE}"], "version")
    write(folder, f"{package}.installer.yaml", head + [
        "InstallerType: nullsoft",
        "Scope: user",
        "InstallModes:",
        "  - interactive",
        "  - silent",
        "  - silentWithProgress",
        "InstallerSwitches:",
        "  Silent: /S",
        "  SilentWithProgress: /S",
        "UpgradeBehavior: install",
        "ExpectedReturnCodes:",
    ] + [line for code, response in i["return_codes"]
         for line in (f"  - InstallerReturnCode: {code}", f"    ReturnResponse: {response}")] + [
        f"ProductCode: {i['uninstall_entry']}",
        "Installers:",
        "  - Architecture: x86",
        f"    InstallerUrl: {page}download/{setup.name}",
        f"    InstallerSha256: {hashlib.sha256(setup.read_bytes()).hexdigest().upper()}",
    ], "installer")
    write(folder, f"{package}.locale.{LOCALE}.yaml", head + [
        f"PackageLocale: {LOCALE}",
        f"Publisher: {i['company']}",
        f"PublisherUrl: {i['website']}",
        f"PackageName: {i['product']}",
        f"PackageUrl: {page}",
        "License: Proprietary",
        f"Copyright: {i['copyright']}",
        f"ShortDescription: {i['description']}",
        f"Moniker: {i['product'].lower()}",
        "Tags:",
        "  - privacy",
        "  - camera",
        "  - microphone",
    ], "defaultLocale")
    print(f"manifests: {folder}")


if __name__ == "__main__":
    main(*sys.argv[1:3])
