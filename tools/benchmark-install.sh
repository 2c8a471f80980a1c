#!/usr/bin/env bash
# Install benchmark, one clean Wine machine per package: "lists", a 322-file,
# 54 MB package (a "Core" list that fills its 2048 bytes, 200 content files
# of 256 KB), and "dlls", 100 versioned DLLs and the same content (54.7 MB).
# Each is installed by "LFSetup.exe /S" from its folder and from its single
# file (lfpack build), copied plainly by a minimal Windows program
# (plaincopy.exe, tools/plaincopy/), and installed by NSIS installers of the
# same files; then the quiet uninstall and the peer's uninstall. Prints the
# sizes, and medians of RUNS runs (default 5) with their ratios to the plain
# copy. KINDS="dlls" runs one package only. Needs the native and win64
# builds (tools/build.sh native win64) and makensis (tools/setup-deps.sh).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
b="$top/build/win64"
[ -x "$b/bin/LFSetup.exe" ] || { echo "build first: tools/build.sh win64"; exit 1; }
command -v makensis >/dev/null || { echo "makensis missing: run tools/setup-deps.sh"; exit 1; }
[ -x "$top/build/native/lfpack" ] || { echo "build first: tools/build.sh native"; exit 1; }
# Each package on a clean machine of its own.
for kind in ${KINDS:-lists dlls}; do
  "$top/tools/wine-run.sh" --golden "$b/wine/golden" --runs "$b/wine/runs" --root "$top" --shell -- \
    "bash '$top/tools/benchmark-on-machine.sh' '$top' '${RUNS:-5}' '$kind'"
done
