#!/usr/bin/env bash
# What each way of writing a file costs under Wine, apart from any installer:
# tools/writecost/ writes COUNT files (default 10000) in each way, in a clean
# machine kept in memory, in an order that turns from rep to rep (RUNS,
# default 3), and prints each time. Needs the win64 build (tools/build.sh
# win64).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
b="$top/build/win64"
[ -x "$b/bin/writecost.exe" ] || { echo "build first: tools/build.sh win64"; exit 1; }
"$top/tools/wine-run.sh" --memory --golden "$b/wine/golden" --runs "$b/wine/runs" --root "$top" --shell -- "$(cat <<SH
ways=(plain partial handle name)
for r in \$(seq 1 ${RUNS:-3}); do
  for k in 0 1 2 3; do
    way=\${ways[\$(( (k + r) % 4 ))]}
    rm -rf "\$WINEPREFIX/drive_c/Writes"
    wine 'T:\build\win64\bin\writecost.exe' "\$way" ${1:-10000} 'C:\Writes'
  done
done
SH
)"
