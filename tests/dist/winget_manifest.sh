#!/usr/bin/env bash
# The winget manifest that tools/make-dist.sh writes beside the downloads.
# A dist folder is made here as make-dist makes it (both single files packed
# and signed, the viewer and the licence in win64/), the manifest is written
# by tools/make-winget-manifest.py, and then:
#   - each file validates against winget's schema of its kind and version
#     (tests/dist/winget-schemas/: required fields, types, patterns, enums);
#   - each InstallerSha256 is the SHA-256 of the download its InstallerUrl
#     names, x64 the 64-bit one and x86 the 32-bit one;
#   - every exit code of README.md's exit-code tables is in
#     ExpectedReturnCodes (0, winget's own success, must not be);
#   - the package version and DisplayVersion are the viewer's FILEVERSION.
#   winget_manifest.sh LFSetup.exe LFSetup32.exe STANDIN.exe WORK-FOLDER
# LFSetup32.exe packs the x86 download; where the 32-bit build is missing
# the 64-bit program stands in for it.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
top=$(cd "$here/../.." && pwd)
setup=$1 setup32=$2 standin=$3 work=$4/winget-manifest
dist=$work/dist
rm -rf "$work"
mkdir -p "$dist/win64"
cp "$standin" "$dist/win64/LFViewer.exe"
cp "$top/tools/sample-package/license.txt" "$dist/win64/"
"$top/tools/make-single-file.sh" "$dist/QuillaraSetup-win64.exe" "$setup" "$standin"
# A hash written for the other architecture's file shows only when the two
# files differ. When one program packs both, only the signing time, which
# the signature carries to the second, sets them apart.
if [ ! -f "$setup32" ]; then
  setup32=$setup
  sleep 1
fi
"$top/tools/make-single-file.sh" "$dist/QuillaraSetup-win32.exe" "$setup32" "$standin"
if cmp -s "$dist/QuillaraSetup-win64.exe" "$dist/QuillaraSetup-win32.exe"; then
  echo "FAIL: the two downloads are the same bytes: a hash given to the wrong one would pass"; exit 1
fi
"$top/tools/make-winget-manifest.py" "$dist"

# Debian's python3 with python3-yaml and python3-jsonschema (setup-deps.sh).
/usr/bin/python3 - "$dist" "$here/winget-schemas" "$top/README.md" "$top/tests/standins/viewer_standin.rc" <<'PY'
import hashlib
import json
import os
import re
import sys

import jsonschema
import yaml

dist, schemas, readme, rc = sys.argv[1:5]
package_id = "LUMENFIELD.QuillaraBrowser"
files = {
    "version": f"{package_id}.yaml",
    "installer": f"{package_id}.installer.yaml",
    "defaultLocale": f"{package_id}.locale.en-US.yaml",
}
downloads = {"x64": "QuillaraSetup-win64.exe", "x86": "QuillaraSetup-win32.exe"}
failures = []


def check(ok, message):
    if not ok:
        failures.append(message)
    return ok


# Schemas: the one kept version of each kind; the file must claim that version.
docs = {}
for kind, name in files.items():
    path = os.path.join(dist, "winget", name)
    if not check(os.path.isfile(path), f"{name} was not written"):
        continue
    with open(path, encoding="utf-8") as f:
        doc = yaml.safe_load(f)
    docs[kind] = doc if isinstance(doc, dict) else {}
    (schema_name,) = [s for s in os.listdir(schemas) if s.startswith(f"manifest.{kind}.")]
    with open(os.path.join(schemas, schema_name), encoding="utf-8") as f:
        schema = json.load(f)
    validator = jsonschema.Draft7Validator(schema, format_checker=jsonschema.FormatChecker())
    for error in sorted(validator.iter_errors(doc), key=lambda e: list(e.absolute_path)):
        where = "/".join(str(p) for p in error.absolute_path) or "(top)"
        failures.append(f"{name}: {where}: {error.message}")
    version = schema["properties"]["ManifestVersion"]["default"]
    check(docs[kind].get("ManifestVersion") == version,
          f"{name}: ManifestVersion {docs[kind].get('ManifestVersion')!r}, validated against {schema_name} ({version})")

for kind, doc in docs.items():
    check(doc.get("PackageIdentifier") == package_id, f"{files[kind]}: PackageIdentifier {doc.get('PackageIdentifier')!r}")

# The version is the viewer's FILEVERSION, as the setup writes DisplayVersion.
with open(rc, encoding="utf-8") as f:
    numbers = re.search(r"^\s*FILEVERSION\s+(\d+),\s*(\d+),\s*(\d+),\s*(\d+)", f.read(), re.M).groups()
viewer_version = ".".join(str(int(n)) for n in numbers)
for kind, doc in docs.items():
    check(doc.get("PackageVersion") == viewer_version,
          f"{files[kind]}: PackageVersion {doc.get('PackageVersion')!r}, the viewer's is {viewer_version}")

installer = docs.get("installer", {})
entries = installer.get("AppsAndFeaturesEntries") or [{}]
check(entries[0].get("DisplayVersion") == viewer_version,
      f"DisplayVersion {entries[0].get('DisplayVersion')!r}, the viewer's is {viewer_version}")

# Hashes: each installer's file is the one its architecture ships.
seen = set()
for item in installer.get("Installers") or []:
    architecture = item.get("Architecture")
    seen.add(architecture)
    name = str(item.get("InstallerUrl", "")).rsplit("/", 1)[-1]
    if not check(name == downloads.get(architecture),
                 f"installer {architecture}: InstallerUrl names {name!r}, not {downloads.get(architecture)!r}"):
        continue
    with open(os.path.join(dist, name), "rb") as f:
        actual = hashlib.sha256(f.read()).hexdigest()
    check(str(item.get("InstallerSha256", "")).lower() == actual,
          f"installer {architecture}: InstallerSha256 {item.get('InstallerSha256')}, {name} has {actual.upper()}")
check(seen == set(downloads), f"installers for {sorted(seen, key=str)}, not {sorted(downloads)}")

# Exit codes: every table of README.md headed "| code | meaning |".
documented = {}
lines = open(readme, encoding="utf-8").read().splitlines()
for i, line in enumerate(lines):
    cells = [c.strip() for c in line.strip().strip("|").split("|")]
    if line.startswith("|") and cells[:2] == ["code", "meaning"]:
        for row in lines[i + 2:]:
            if not row.startswith("|"):
                break
            code, meaning = [c.strip() for c in row.strip().strip("|").split("|")][:2]
            documented[int(code)] = meaning
check(0 in documented and len(documented) > 1, f"README.md's exit-code table not found (read {documented})")
expected = {}
for item in installer.get("ExpectedReturnCodes") or []:
    expected[item.get("InstallerReturnCode")] = item.get("ReturnResponse")
for code, meaning in sorted(documented.items()):
    if code == 0:
        check(0 not in expected, "0 (success) is in ExpectedReturnCodes")
    else:
        check(code in expected, f"exit code {code} ({meaning}) is not in ExpectedReturnCodes")
check(expected.get(3010) == "rebootRequiredToFinish", f"3010 is {expected.get(3010)!r}, not rebootRequiredToFinish")

for message in failures:
    print("FAIL:", message)
if failures:
    sys.exit(1)
print(f"winget manifest {installer['ManifestVersion']} of {package_id} {viewer_version}: "
      f"{len(docs)} files valid against their schemas; the InstallerSha256 of {', '.join(sorted(seen))} match; "
      f"the {len(documented) - 1} failure codes of README.md's exit-code tables are among the {len(expected)} "
      f"ExpectedReturnCodes, and 0 is not")
PY
