#!/usr/bin/env bash
# Install benchmark: a package whose "Core" list fills its 2048 bytes and whose
# "Content" list holds 200 files of 256 KB, installed by LFSetup.exe, against a
# plain copy of the same files by a minimal Windows program (plaincopy.exe),
# both under the same Wine on one clean machine. Prints both times and their
# ratio. Needs the win64 build (tools/build.sh win64). RUNS=n repeats (3).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
b="$top/build/win64"
[ -x "$b/bin/LFSetup.exe" ] || { echo "build first: tools/build.sh win64"; exit 1; }
"$top/tools/wine-run.sh" --golden "$b/wine/golden" --runs "$b/wine/runs" --root "$top" --shell -- \
  "bash '$top/tools/benchmark-on-machine.sh' '$top' '${RUNS:-3}'"
