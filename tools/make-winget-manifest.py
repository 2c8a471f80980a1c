#!/usr/bin/python3
"""Writes the winget manifest of the signed downloads in a dist folder.

    make-winget-manifest.py DIST

DIST holds what tools/make-dist.sh makes: the signed single files
QuillaraSetup-win64.exe and QuillaraSetup-win32.exe, and the package folder
win64/ with the viewer LFViewer.exe and license.txt. The manifest goes to
DIST/winget/ in winget's multi-file form: the version, installer and
default-locale files, named after the package identifier.

The package version is the viewer's file version, read from LFViewer.exe's
version resource: the setup writes the same text as DisplayVersion into the
Add/Remove Programs entry, and winget matches the installed product by it.

LF_DOWNLOAD_URL is the address of the folder the downloads are published
in; "{version}" in it becomes the package version. Without it the manifest
names a placeholder, https://downloads.lumenfield.example/quillara/{version}/,
which must be replaced before the manifest is published.

Runs with Debian's python3 and python3-yaml (tools/setup-deps.sh), not with
whatever python3 comes first on PATH.
"""
import hashlib
import os
import struct
import sys

import yaml

PACKAGE_ID = "LUMENFIELD.QuillaraBrowser"
PUBLISHER = "LUMENFIELD Corporation"
PRODUCT = "Quillara Browser"
# The Add/Remove Programs entry's key name under
# HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall: winget's
# ProductCode for an exe installer is that name.
UNINSTALL_KEY = "Quillara Browser"
LOCALE = "en-US"
# The newest manifest version winget-cli has frozen; its schemas are kept in
# tests/dist/winget-schemas/, against which the test checks these files.
MANIFEST_VERSION = "1.28.0"
DEFAULT_DOWNLOAD_URL = "https://downloads.lumenfield.example/quillara/{version}/"
DOWNLOADS = (("x64", "QuillaraSetup-win64.exe"), ("x86", "QuillaraSetup-win32.exe"))

# Exit codes of a silent setup and of the uninstaller (README.md's tables)
# and the ReturnResponse winget reports for each; "custom" where none of winget's
# words fits, so that winget prints the code itself. 0 is success and is
# not listed (the schema refuses it). A code added to the README's tables
# gets its row here: the test dist.winget_manifest fails while one is missing.
EXIT_CODES = (
    (1, "invalidParameter", "the command line is not valid, or the log cannot be written"),
    (2, "packageInUse", "a LUMENFIELD browser is running"),
    (3, "custom", "an incompatible older platform is installed"),
    (4, "custom", "another brand's browser is installed"),
    (5, "missingDependency", "Internet Explorer 3 or later is missing"),
    (6, "contactSupport", "license.txt is missing beside the program"),
    (7, "diskFull", "the destination's drive is short of space"),
    (8, "custom", "a file of the lists could not be copied, or a list line leads out of its folder"),
    (9, "contactSupport", "the links could not be made"),
    (10, "contactSupport", "another install step failed"),
    (11, "custom", "the program could not start (its window or COM)"),
    (12, "contactSupport", "a single-file download is damaged"),
    (13, "custom", "a single-file download cannot unpack its package"),
    (14, "custom", "the program cannot open its own file"),
    (20, "custom", "uninstall: the product is not registered"),
    (21, "contactSupport", "uninstall: the uninstall was not completed"),
    (22, "custom", "uninstall: the temporary copy could not be made"),
    (23, "cancelledByUser", "uninstall: the removal was declined"),
    (3010, "rebootRequiredToFinish", "installed or removed; Windows must restart to finish"),
)

# winget builds the installer's command line as: the Silent (or
# SilentWithProgress, or Interactive) switch, Log, the manifest's Custom
# switch, the --custom switches, Upgrade on an upgrade, and InstallLocation
# last, only when --location is given (GetInstallerArgsTemplate in
# src/AppInstallerCLICore/Workflows/ShellExecuteInstallerHandler.cpp of
# winget-cli). "/D=" takes the rest of the line, so it must be that last
# switch. winget puts the log path in as it is; the quotes keep a path with
# blanks one argument. "/D=" takes blanks without quotes and no quotes at all.
SWITCHES = {
    "Silent": "/S",
    "SilentWithProgress": "/S",
    "Log": '/LOG="<LOGPATH>"',
    "InstallLocation": "/D=<INSTALLPATH>",
}


def fail(message):
    sys.exit("make-winget-manifest: " + message)


def file_version(path):
    """The FILEVERSION of a PE file's version resource as "a.b.c.d"."""
    with open(path, "rb") as f:
        image = f.read()

    def u16(at):
        return struct.unpack_from("<H", image, at)[0]

    def u32(at):
        return struct.unpack_from("<I", image, at)[0]

    try:
        pe = u32(0x3C)
        if image[:2] != b"MZ" or image[pe:pe + 4] != b"PE\0\0":
            fail(f"{path} is not a Windows program")
        sections, optional_size = u16(pe + 6), u16(pe + 20)
        optional = pe + 24
        # The data directories follow the optional header's fixed part, which
        # is 16 bytes longer in a 64-bit image; the resources are entry 2.
        directories = optional + (112 if u16(optional) == 0x20B else 96)
        resources_rva = u32(directories + 2 * 8)
        table = optional + optional_size
        if not resources_rva:
            fail(f"{path} has no version information")

        def offset_of(rva):
            for s in range(table, table + 40 * sections, 40):
                start, size, raw = u32(s + 12), max(u32(s + 8), u32(s + 16)), u32(s + 20)
                if start <= rva < start + size:
                    return rva - start + raw
            fail(f"{path}: address {rva:#x} lies in no section")

        root = offset_of(resources_rva)

        def entries(directory):
            count = u16(directory + 12) + u16(directory + 14)
            return [(u32(e), u32(e + 4)) for e in range(directory + 16, directory + 16 + 8 * count, 8)]

        # Type RT_VERSION (16), then the first name and the first language.
        found = [target for name, target in entries(root) if name == 16]
        if not found:
            fail(f"{path} has no version information")
        node = found[0]
        for _ in range(2):
            node = entries(root + (node & 0x7FFFFFFF))[0][1]
        data = offset_of(u32(root + node))
        # VS_VERSIONINFO: three WORDs, "VS_VERSION_INFO" in UTF-16 with its
        # terminator, padding to 32 bits, then VS_FIXEDFILEINFO.
        if image[data + 6:data + 36].decode("utf-16-le") != "VS_VERSION_INFO":
            fail(f"{path}: the version resource has no VS_VERSION_INFO")
        fixed = data + 40
        if u32(fixed) != 0xFEEF04BD:
            fail(f"{path}: the version resource has no fixed file information")
        most, least = u32(fixed + 8), u32(fixed + 12)
    except (struct.error, IndexError, UnicodeDecodeError):
        fail(f"{path}: the version resource cannot be read")
    return f"{most >> 16}.{most & 0xFFFF}.{least >> 16}.{least & 0xFFFF}"


def sha256(path):
    digest = hashlib.sha256()
    with open(path, "rb") as f:
        for block in iter(lambda: f.read(1 << 20), b""):
            digest.update(block)
    return digest.hexdigest().upper()


class Dumper(yaml.SafeDumper):
    """Writes text of several lines as a block, as people write manifests."""


Dumper.add_representer(
    str, lambda dumper, text: dumper.represent_scalar(
        "tag:yaml.org,2002:str", text, style="|" if "\n" in text else None))


def write(folder, name, kind, fields):
    path = os.path.join(folder, name)
    with open(path, "w", encoding="utf-8", newline="\n") as f:
        f.write(f"# Made by tools/make-winget-manifest.py; see tools/make-dist.sh.\n"
                f"# yaml-language-server: $schema=https://aka.ms/winget-manifest.{kind}.{MANIFEST_VERSION}.schema.json\n\n")
        yaml.dump(fields, f, Dumper=Dumper, sort_keys=False, allow_unicode=True, width=1000)
    return path


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__.split("\n\n")[1])
    dist = sys.argv[1]
    package = os.path.join(dist, "win64")
    version = file_version(os.path.join(package, "LFViewer.exe"))
    base = os.environ.get("LF_DOWNLOAD_URL") or DEFAULT_DOWNLOAD_URL
    base = base.replace("{version}", version)
    if not base.lower().startswith(("https://", "http://")):
        fail(f"LF_DOWNLOAD_URL is not an http(s) address: {base}")
    if not base.endswith("/"):
        base += "/"
    # The licence the silent switch accepts: winget shows it and installs
    # only after --accept-package-agreements.
    with open(os.path.join(package, "license.txt"), "rb") as f:
        licence = f.read().decode("cp1252").replace("\r\n", "\n").strip() + "\n"

    head = {"PackageIdentifier": PACKAGE_ID, "PackageVersion": version}
    installers = []
    for architecture, name in DOWNLOADS:
        installers.append({
            "Architecture": architecture,
            "InstallerUrl": base + name,
            "InstallerSha256": sha256(os.path.join(dist, name)),
        })
    out = os.path.join(dist, "winget")
    os.makedirs(out, exist_ok=True)
    written = [
        write(out, f"{PACKAGE_ID}.yaml", "version", {
            **head,
            "DefaultLocale": LOCALE,
            "ManifestType": "version",
            "ManifestVersion": MANIFEST_VERSION,
        }),
        write(out, f"{PACKAGE_ID}.installer.yaml", "installer", {
            **head,
            "InstallerType": "exe",
            "Scope": "machine",
            "InstallerSwitches": SWITCHES,
            "ExpectedReturnCodes": [
                {"InstallerReturnCode": code, "ReturnResponse": response}
                for code, response, _meaning in EXIT_CODES
            ],
            # A run over an installed product reinstalls it in its own folder.
            "UpgradeBehavior": "install",
            "ProductCode": UNINSTALL_KEY,
            "AppsAndFeaturesEntries": [{
                "DisplayName": PRODUCT,
                "Publisher": PUBLISHER,
                "DisplayVersion": version,
                "ProductCode": UNINSTALL_KEY,
            }],
            # The program's own manifest asks Windows for an administrator.
            "ElevationRequirement": "elevatesSelf",
            "Installers": installers,
            "ManifestType": "installer",
            "ManifestVersion": MANIFEST_VERSION,
        }),
        write(out, f"{PACKAGE_ID}.locale.{LOCALE}.yaml", "defaultLocale", {
            **head,
            "PackageLocale": LOCALE,
            "Publisher": PUBLISHER,
            "PackageName": PRODUCT,
            "License": "Proprietary: the LUMENFIELD licence agreement",
            "ShortDescription": "The LUMENFIELD 3D content viewer",
            "Moniker": "quillara",
            "Agreements": [{"AgreementLabel": "License Agreement", "Agreement": licence}],
            "ManifestType": "defaultLocale",
            "ManifestVersion": MANIFEST_VERSION,
        }),
    ]
    print(f"   winget manifest {MANIFEST_VERSION} of {PACKAGE_ID} {version}:")
    for path in written:
        print(f"     {path}")
    if base.startswith(DEFAULT_DOWNLOAD_URL.split("{")[0]):
        print(f"   (InstallerUrl is the placeholder {base}: set LF_DOWNLOAD_URL before publishing)")


if __name__ == "__main__":
    main()
