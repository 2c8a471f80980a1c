#!/usr/bin/env bash
# lfpack build checks the package first and packs none that has an error:
# here a setup script without its product key.
#   build_refuses.sh LFPACK WORK-FOLDER
set -euo pipefail
lfpack=$1 work=$2/lfpack-build-refuses
rm -rf "$work"
mkdir -p "$work/package"
trap 'rm -rf "$work"' EXIT
printf '[Log]\r\nName=N\r\nTarget=a.exe\r\nMenu=M\\N\r\nIcon=N\r\n[Core]\r\na.exe\r\n' > "$work/package/LFSetup.inf"
printf 'MZ' > "$work/package/a.exe"
cp "$work/package/a.exe" "$work/package/LFSetup.exe"
set +e
"$lfpack" build "$work/package" "$work/out.exe" > "$work/output" 2>&1
code=$?
set -e
cat "$work/output"
[ "$code" = 1 ] || { echo "FAIL: exit code $code, not 1"; exit 1; }
[ ! -e "$work/out.exe" ] || { echo "FAIL: a package with an error was packed"; exit 1; }
grep -q 'not built: the package has errors' "$work/output" || { echo "FAIL: no refusal said"; exit 1; }
