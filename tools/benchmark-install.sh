#!/usr/bin/env bash
# Install benchmark against NSIS on equal work, one clean Wine machine per
# package: "random" (302 files, 54.7 MB that do not compress) and "library"
# (the same files made of real library bytes). Each is installed silently
# from its folder and from its single file (lfpack build), by an NSIS
# installer of the same files that starts the same two programs, and copied
# plainly by a minimal Windows program (plaincopy.exe, tools/plaincopy/);
# every rep runs every variant, in an order that turns from rep to rep.
# Prints the sizes and the medians of RUNS reps (default 7) with their
# ratios to NSIS. KINDS="library" runs one package only. Needs the native
# and win64 builds (tools/build.sh native win64) and makensis
# (tools/setup-deps.sh).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
b="$top/build/win64"
[ -x "$b/bin/LFSetup.exe" ] || { echo "build first: tools/build.sh win64"; exit 1; }
command -v makensis >/dev/null || { echo "makensis missing: run tools/setup-deps.sh"; exit 1; }
[ -x "$top/build/native/lfpack" ] || { echo "build first: tools/build.sh native"; exit 1; }
for kind in ${KINDS:-random library}; do
  "$top/tools/wine-run.sh" --golden "$b/wine/golden" --runs "$b/wine/runs" --root "$top" --shell -- \
    "bash '$top/tools/benchmark-on-machine.sh' '$top' '${RUNS:-7}' '$kind'"
done
