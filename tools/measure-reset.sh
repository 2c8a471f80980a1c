#!/usr/bin/env bash
# What a clean machine per test costs: the overlay of the golden prefix in its
# private namespaces, set up and torn down around a command that does
# nothing; then a whole run of one small test program under Wine on such a
# machine; and, for comparison, a plain copy of the golden prefix.
# Needs the win64 build (tools/build.sh win64). RUNS=n repeats (10).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
b="$top/build/win64"
runs=${RUNS:-10}
rig=("$top/tools/wine-run.sh" --golden "$b/wine/golden" --runs "$b/wine/runs" --root "$b")
mean() { echo "scale=3; ($2 - $1) / $runs" | bc; }

t0=$(date +%s.%N)
for _ in $(seq "$runs"); do "${rig[@]}" --shell -- true; done
t1=$(date +%s.%N)
for _ in $(seq "$runs"); do
  "${rig[@]}" -- "$b/bin/lf_logic_tests.exe" --gtest_filter='WindowOrigin.*' >/dev/null
done
t2=$(date +%s.%N)
copy="$b/wine/runs/copy-probe"
for _ in $(seq "$runs"); do rm -rf "$copy"; cp -a "$b/wine/golden/prefix" "$copy"; done
t3=$(date +%s.%N)
rm -rf "$copy"

echo "clean machine (overlay and namespaces, set up and torn down): $(mean "$t0" "$t1") s per run"
echo "one test program run under Wine on a clean machine:          $(mean "$t1" "$t2") s per run"
echo "for comparison, a full copy of the golden prefix:            $(mean "$t2" "$t3") s per copy"
