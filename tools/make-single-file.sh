#!/usr/bin/env bash
# Makes the single-file download of the sample package for the scenario rows:
# the sample's script, licence and files, the given setup program, and the
# given stand-in as the viewer and its control program, packed by the
# native lfpack (built here when it is not yet).
#   make-single-file.sh OUT.exe LFSetup.exe STANDIN.exe [large]
# "large" adds a 32 MB file to each list (big.bin to "Core", Worlds\big.vorn
# to "Content"), for the rows that end a run while it writes one, and keeps
# the package folder beside the download (OUT.exe.package) for the rows to
# compare the installed files with.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
out=$1 setup=$2 standin=$3 large=${4:-}
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
if [ "$large" = large ]; then
  # Text of random letters: zlib keeps about three quarters of it, so that
  # the download inflates it as it does a product's data.
  for name in big.bin big.vorn; do
    head -c 24M /dev/urandom | base64 -w 0 | head -c 32M > "$package/$name"
  done
  sed -i -e 's/^readme\.txt\*$/&\nbig.bin/' -e 's/^Worlds\\welcome\.vorn,welcome\.vorn$/&\nWorlds\\big.vorn,big.vorn/' \
    "$package/LFSetup.inf"
  grep -q '^big.bin' "$package/LFSetup.inf" && grep -q '^Worlds\\big.vorn' "$package/LFSetup.inf"
fi
"$lfpack" build "$package" "$out" >/dev/null
[ "$large" = large ] || rm -rf "$package"
# Signed, as make-dist signs the download: the rows then read a program
# whose package ends where its signature begins.
"$top/tools/sign.sh" "$out" >/dev/null
