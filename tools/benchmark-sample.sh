#!/usr/bin/env bash
# The sample package's silent install and quiet uninstall with this build's
# LFSetup.exe against another build's (an earlier commit's, say), on one
# clean Wine machine, interleaved in an order that turns from rep to rep;
# prints each rep and the medians.
#   tools/benchmark-sample.sh OTHER-LFSetup.exe      (RUNS, default 15)
# The viewer and the control program are a console program that ends at
# once, for both.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
other=$(realpath "$1")
b="$top/build/win64"
[ -x "$b/bin/LFSetup.exe" ] || { echo "build first: tools/build.sh win64"; exit 1; }
mkdir -p "$b/sample-bench"
cp "$other" "$b/sample-bench/Other.exe"
"$top/tools/wine-run.sh" --golden "$b/wine/golden" --runs "$b/wine/runs" --root "$top" --shell -- "$(cat <<SH
set -euo pipefail
c="\$WINEPREFIX/drive_c"
for who in this other; do
  mkdir -p "\$c/\$who"
  cp "$top"/tools/sample-package/* "\$c/\$who/"
  printf 'int main(void) { return 0; }\n' > "\$WINEPREFIX/quick.c"
  x86_64-w64-mingw32-gcc -s -o "\$c/\$who/LFViewer.exe" "\$WINEPREFIX/quick.c"
  cp "\$c/\$who/LFViewer.exe" "\$c/\$who/LFCtrl.exe"
done
cp "$b/bin/LFSetup.exe" "\$c/this/LFSetup.exe"
cp "$b/sample-bench/Other.exe" "\$c/other/LFSetup.exe"
timed() { local t0=\$(date +%s.%N); "\$@" > /dev/null 2>&1 || { echo "failed: \$*"; exit 1; }; echo "\$(date +%s.%N) - \$t0" | bc; }
median() { printf '%s\n' "\$@" | sort -g | awk '{v[NR]=\$1} END {print (NR % 2) ? v[(NR+1)/2] : (v[NR/2] + v[NR/2+1]) / 2}'; }
this=() other=() thisu=() otheru=()
for r in \$(seq 1 ${RUNS:-15}); do
  for k in 0 1; do
    who=\$([ \$(( (k + r) % 2 )) = 0 ] && echo this || echo other)
    t=\$(timed wine "C:\\\\\$who\\\\LFSetup.exe" /S)
    u=\$(timed wine 'C:\\windows\\LFUninst.exe' '\\s')
    rm -rf "\$c/Program Files/LUMENFIELD"
    if [ \$who = this ]; then this+=(\$t); thisu+=(\$u); else other+=(\$t); otheru+=(\$u); fi
  done
  echo "rep \$r: this install \${this[-1]} s, other \${other[-1]} s; this uninstall \${thisu[-1]} s, other \${otheru[-1]} s"
done
echo "medians of ${RUNS:-15} reps: install this \$(median "\${this[@]}") s, other \$(median "\${other[@]}") s; uninstall this \$(median "\${thisu[@]}") s, other \$(median "\${otheru[@]}") s"
SH
)"
