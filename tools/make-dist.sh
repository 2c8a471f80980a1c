#!/usr/bin/env bash
# Assembles the setup package folders in dist/:
#   dist/win64/  the package with the 64-bit LFSetup.exe (the one run under Wine here)
#   dist/win32/  the same package with the 32-bit LFSetup.exe (the shipped form)
# Each holds LFSetup.exe, LFSetup.inf, license.txt and the sample product
# files. The product's programs are the test stand-ins, built for 64-bit.
# Both packages are then checked with lfpack (built natively); an error in
# them fails the script. Their LFSetup.exe is signed (tools/sign.sh), and
# each package is packed into its single-file download, which is signed
# too:
#   dist/QuillaraSetup-win64.exe, dist/QuillaraSetup-win32.exe
# Last, the winget manifest of the two signed downloads goes to dist/winget/
# (tools/make-winget-manifest.py; LF_DOWNLOAD_URL names where they will be
# published).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
sample="$top/tools/sample-package"
bin64="$top/build/win64/bin"
for arch in win64 win32; do
  out="$top/dist/$arch"
  rm -rf "$out"
  mkdir -p "$out"
  cp "$top/build/$arch/bin/LFSetup.exe" "$out/"
  cp "$sample"/LFSetup.inf "$sample"/license.txt "$sample"/readme.txt \
     "$sample"/quickstart.txt "$sample"/welcome.vorn "$out/"
  cp "$bin64/viewer_standin.exe" "$out/LFViewer.exe"
  cp "$bin64/viewer_standin.exe" "$out/LFCtrl.exe"
done
echo "== dist: package folders ready"
for arch in win64 win32; do
  printf '   dist/%s: ' "$arch"; (cd "$top/dist/$arch" && ls | tr '\n' ' '); echo
done
for arch in win64 win32; do
  f="$top/dist/$arch/LFSetup.exe"
  printf '   %s LFSetup.exe: %s bytes; imports: %s\n' "$arch" "$(stat -c %s "$f")" \
    "$(objdump -p "$f" | awk '/DLL Name/ {printf "%s ", $3}')"
done

echo "== dist: package check (lfpack)"
log="$top/build/lfpack-build.log"
(cd "$top" && cmake --preset native && cmake --build --preset native --target lfpack -j"$(nproc)") >"$log" 2>&1 || {
  cat "$log"; exit 1; }
for arch in win64 win32; do
  "$top/build/native/lfpack" check "$top/dist/$arch"
done

echo "== dist: signing and packing (tools/sign.sh, lfpack build)"
for arch in win64 win32; do
  "$top/tools/sign.sh" "$top/dist/$arch/LFSetup.exe"
  "$top/build/native/lfpack" build "$top/dist/$arch" "$top/dist/QuillaraSetup-$arch.exe" | tail -1
  "$top/tools/sign.sh" "$top/dist/QuillaraSetup-$arch.exe"
  printf '   %s: package folder %s bytes, single file %s bytes\n' "$arch" \
    "$(du -sb "$top/dist/$arch" | cut -f1)" "$(stat -c %s "$top/dist/QuillaraSetup-$arch.exe")"
done

# After the signing: the manifest carries each signed file's SHA-256.
echo "== dist: winget manifest (tools/make-winget-manifest.py)"
rm -rf "$top/dist/winget"
"$top/tools/make-winget-manifest.py" "$top/dist"
