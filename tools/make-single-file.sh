#!/usr/bin/env bash
# Makes the single-file download of the sample package for the scenario rows:
# the sample's script, licence and files, the given setup program, and the
# given stand-in as the viewer and its control program, packed by the
# native lfpack (built here when it is not yet).
#   make-single-file.sh OUT.exe LFSetup.exe STANDIN.exe
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
out=$1 setup=$2 standin=$3
lfpack="$top/build/native/lfpack"
if [ ! -x "$lfpack" ]; then
  (cd "$top" && cmake --preset native >/dev/null && cmake --build --preset native --target lfpack -j"$(nproc)" >/dev/null)
fi
package="$out.package"
rm -rf "$package"
mkdir -p "$package"
cp "$top"/tools/sample-package/* "$package/"
cp "$setup" "$package/LFSetup.exe"
cp "$standin" "$package/LFViewer.exe"
cp "$standin" "$package/LFCtrl.exe"
"$lfpack" build "$package" "$out" >/dev/null
rm -rf "$package"
# Signed, as make-dist signs the download: the rows then read a program
# whose package ends where its signature begins.
"$top/tools/sign.sh" "$out" >/dev/null
