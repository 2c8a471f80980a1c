#!/usr/bin/env bash
# Measures the suite's power to catch faults: applies each deliberate fault of
# tools/mutations.txt to the sources on its own, rebuilds, runs the whole
# suite (native and Wine), puts the source back, and counts the faults the
# suite caught. It also records which tests caught each fault, and prints the
# kill matrix: per fault the tests that caught it, per test the faults no
# other test caught. A test that catches no fault alone is a candidate to
# merge or drop.
#
#   tools/mutation-check.sh [N ...]     only the faults with these numbers
#   LF_FIRST_FAILURE=1                  stop each run at its first failing test
#                                       (faster; no kill matrix)
#
# Takes long (a rebuild and a whole suite run per fault): it is not part of
# the README's test command. The matrix is kept in build/kill-matrix.tsv.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"
list=${LF_MUTATIONS:-tools/mutations.txt}
"$top/tools/build.sh" native win32 win64 >/dev/null
# The 32-bit build's one test is the 64-bit one's too; the rig's checks
# (rig.*) test the rig, not the program, and are left out.
cat > build/CTestTestfile.cmake <<'CTEST'
subdirs("native" "win64")
CTEST

work=$(mktemp -d "$top/build/mutation.XXXXXX")
trap 'rm -rf "$work"' EXIT
# Splits the list into one file per fault: title, file, old, new.
python3 - "$list" "$work" <<'PY'
import sys, os
src, out = sys.argv[1], sys.argv[2]
blocks, cur = [], None
for line in open(src, encoding="utf-8"):
    line = line.rstrip("\n")
    if line.startswith("== "):
        cur = {"title": line[3:]}
        blocks.append(cur)
    elif cur is not None and line[:5] in ("file:", "old: ", "new: ") or line in ("old:", "new:"):
        key, _, value = line.partition(":")
        cur[key] = value[1:] if value.startswith(" ") else value
for i, b in enumerate(blocks, 1):
    with open(os.path.join(out, "%02d" % i), "w", encoding="utf-8") as f:
        for k in ("title", "file", "old", "new"):
            f.write(b[k].replace("\n", "") + "\n")
PY

apply() {  # apply FAULTFILE: replaces the old text, which must occur once
  python3 - "$1" <<'PY'
import sys
title, path, old, new = open(sys.argv[1], encoding="utf-8").read().split("\n")[:4]
old, new = old.replace("\\n", "\n"), new.replace("\\n", "\n")
text = open(path, encoding="utf-8").read()
if text.count(old) != 1:
    sys.exit("fault '%s': the old text occurs %d times in %s" % (title, text.count(old), path))
open(path, "w", encoding="utf-8").write(text.replace(old, new))
PY
}

# The whole suite's test names, for the tests that caught nothing.
(cd build && ctest -N -E '^rig\.' | sed -n 's/^ *Test *#[0-9]*: //p') > "$work/all-tests"
matrix=build/kill-matrix.tsv
: > "$matrix"
stop=()
[ "${LF_FIRST_FAILURE:-0}" = 1 ] && stop=(--stop-on-failure)
wanted=" $* "
caught=0 missed=0 broken=0
missed_titles=()
for fault in "$work"/[0-9]*; do
  n=$((10#$(basename "$fault")))
  [ $# -eq 0 ] || [[ "$wanted" == *" $n "* ]] || continue
  title=$(sed -n 1p "$fault") file=$(sed -n 2p "$fault")
  cp "$file" "$work/original"
  start=$(date +%s)
  if ! apply "$fault"; then
    broken=$((broken + 1)); cp "$work/original" "$file"; continue
  fi
  if ! cmake --build build/native -j2 >"$work/build.log" 2>&1 ||
     ! cmake --build build/win64 -j2 >>"$work/build.log" 2>&1; then
    echo "fault $n did not build: $title"; tail -5 "$work/build.log"
    broken=$((broken + 1))
  else
    (cd build && ctest -j2 -E '^rig\.' "${stop[@]}" --timeout 180 >"$work/test.log" 2>&1) || true
    killers=$(sed -n 's/.*Test *#[0-9]*: \([^ ]*\) .*\*\*\*\(Failed\|Timeout\|Exception\).*/\1/p' "$work/test.log" | sort)
    printf '%d\t%s\t%s\n' "$n" "$title" "$(echo $killers)" >> "$matrix"
    if [ -z "$killers" ]; then
      echo "MISSED  $n  $title  ($(( $(date +%s) - start )) s)"
      missed=$((missed + 1)); missed_titles+=("$n $title")
    else
      echo "caught  $n  $title  ($(( $(date +%s) - start )) s; $(echo "$killers" | wc -l) tests)"
      caught=$((caught + 1))
    fi
  fi
  cp "$work/original" "$file"
  touch "$file"
done
# Leave the build as the sources are.
for b in native win32 win64; do cmake --build "build/$b" -j2 >/dev/null 2>&1 || true; done
echo "mutation check: caught $caught of $((caught + missed)) faults (${broken} not applicable)"
for t in "${missed_titles[@]}"; do echo "  missed: $t"; done
[ "${LF_FIRST_FAILURE:-0}" = 1 ] || python3 "$top/tools/kill-matrix.py" "$matrix" "$work/all-tests"
