#!/usr/bin/env bash
# Install benchmark against NSIS on equal work, one clean Wine machine per
# package. tools/benchmark-install.sh COUNT... (say 1000 10000): a package of
# COUNT files of 4 KiB for each (tools/benchmark-files-on-machine.sh), the
# install from the single file and the quiet uninstall against NSIS's, and
# their growth from the first count to the last (RUNS, default 5). Without
# counts: "random" (302 files, 54.7 MB that do not compress) and "library"
# (the same files made of real library bytes). Each is installed silently
# from its folder and from its single file (lfpack build), by an NSIS
# installer of the same files that starts the same two programs, and copied
# plainly by a minimal Windows program (plaincopy.exe, tools/plaincopy/);
# every rep runs every variant, in an order that turns from rep to rep.
# Prints the sizes and the medians of RUNS reps (default 7) with their
# ratios to NSIS. KINDS="library" runs one package only. Needs the native
# and win64 builds (tools/build.sh native win64) and makensis
# (tools/setup-deps.sh). With counts the machine lives in memory (wine-run.sh
# --memory); ON_DISK=1 runs it on the disk.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
b="$top/build/win64"
[ -x "$b/bin/LFSetup.exe" ] || { echo "build first: tools/build.sh win64"; exit 1; }
command -v makensis >/dev/null || { echo "makensis missing: run tools/setup-deps.sh"; exit 1; }
[ -x "$top/build/native/lfpack" ] || { echo "build first: tools/build.sh native"; exit 1; }
if [ $# -gt 0 ]; then
  # With counts: a package of that many 4 KiB files in the "Core" list for
  # each, on a clean machine of its own, against NSIS on equal work; then
  # how our times and NSIS's grew from the first count to the last. The
  # machine's changes are kept in memory (ON_DISK=1 keeps them on the disk):
  # on a disk whose ext4 has no journal, each new file's inode is found by
  # stepping over every inode freed in the last minutes, so an install's
  # time there grows with the files the reps before it deleted (7 s to 22 s
  # over four reps of the same install here), more than the two differ.
  memory=--memory
  [ "${ON_DISK:-0}" = 1 ] && memory=""
  results=()
  for count in "$@"; do
    out=$("$top/tools/wine-run.sh" $memory --golden "$b/wine/golden" --runs "$b/wine/runs" --root "$top" --shell -- \
      "bash '$top/tools/benchmark-files-on-machine.sh' '$top' '${RUNS:-5}' '$count'") ||
      { echo "$out"; exit 1; }
    echo "$out" | grep -v '^files '
    results+=("$(echo "$out" | grep '^files ')")
  done
  if [ ${#results[@]} -gt 1 ]; then
    python3 - "${results[0]}" "${results[-1]}" <<'PY'
import sys
first, last = (dict(zip(r.split()[0::2], map(float, r.split()[1::2]))) for r in sys.argv[1:3])
n = last["files"] / first["files"]
print("growth from %d to %d files (%.0fx the files):" % (first["files"], last["files"], n))
for key, what in (("single", "ours, install from the single file"), ("peer", "NSIS, install"),
                  ("uninstall", "ours, quiet uninstall"), ("peer-uninstall", "NSIS, uninstall")):
    print("  %-36s %.2fx" % (what, last[key] / first[key]))
PY
  fi
  exit 0
fi
for kind in ${KINDS:-random library}; do
  "$top/tools/wine-run.sh" --golden "$b/wine/golden" --runs "$b/wine/runs" --root "$top" --shell -- \
    "bash '$top/tools/benchmark-on-machine.sh' '$top' '${RUNS:-7}' '$kind'"
done
