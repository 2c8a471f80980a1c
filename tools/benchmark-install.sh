#!/usr/bin/env bash
# Install benchmark on one clean Wine machine: a 322-file, 54 MB package (a
# "Core" list that fills its 2048 bytes, 200 content files of 256 KB),
# installed by "LFSetup.exe /S", copied plainly by a minimal Windows program
# (plaincopy.exe, tools/plaincopy/), and installed by an NSIS installer of the same files;
# then the quiet uninstall and the peer's uninstall. Prints medians of
# RUNS runs (default 5) and their ratios to the plain copy. Needs the win64
# build (tools/build.sh win64) and makensis (tools/setup-deps.sh).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
b="$top/build/win64"
[ -x "$b/bin/LFSetup.exe" ] || { echo "build first: tools/build.sh win64"; exit 1; }
command -v makensis >/dev/null || { echo "makensis missing: run tools/setup-deps.sh"; exit 1; }
"$top/tools/wine-run.sh" --golden "$b/wine/golden" --runs "$b/wine/runs" --root "$top" --shell -- \
  "bash '$top/tools/benchmark-on-machine.sh' '$top' '${RUNS:-5}'"
