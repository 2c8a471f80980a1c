#!/usr/bin/env bash
# Install benchmark: a package whose "Core" list fills its 2048 bytes and whose
# "Content" list holds 200 files of 256 KB, installed by LFSetup.exe, against a
# plain copy of the same files by a minimal Windows program (plaincopy.exe),
# both under the same Wine on one clean machine. Prints both times and the
# ratio. Needs the win64 build (tools/build.sh win64).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
b="$top/build/win64"
[ -x "$b/bin/LFSetup.exe" ] || { echo "build first: tools/build.sh win64"; exit 1; }
runs=${RUNS:-3}

"$top/tools/wine-run.sh" --golden "$b/wine/golden" --runs "$b/wine/runs" --root "$top" --shell -- "
set -euo pipefail
c=\"\$WINEPREFIX/drive_c\"
pkg=\"\$c/Bench\"
mkdir -p \"\$pkg/core\" \"\$pkg/content\"
cp '$b/bin/LFSetup.exe' \"\$pkg/\"
cp '$top/tools/sample-package/license.txt' \"\$pkg/\"
cp '$b/bin/viewer_standin.exe' \"\$pkg/LFViewer.exe\"
cp '$b/bin/viewer_standin.exe' \"\$pkg/LFCtrl.exe\"
{
  printf '[Log]\nKey=LFViewer\nAlt=Quillara\nName=Quillara Browser\nTarget=LFViewer.exe\n'
  printf 'Menu=Quillara Browser\\\\Quillara Browser\nUninst=Uninstall Quillara Browser\nIcon=Quillara Browser\n'
  printf '[Core]\nLFViewer.exe\nLFCtrl.exe\n'
  # Lines of 16 characters plus their terminator until the 2048 bytes are full.
  used=\$((13 + 11))
  i=0
  while [ \$((used + 17 + 1)) -le 2048 ]; do
    name=\$(printf 'core\\\\file%03d.dat' \$i)
    printf '%s\n' \"\$name\"
    head -c 4096 /dev/urandom > \"\$pkg/core/file\$(printf %03d \$i).dat\"
    used=\$((used + 17)); i=\$((i + 1))
  done
  echo \"core files: \$i\" >&2
  printf '[Content]\n'
  for j in \$(seq -w 1 200); do
    printf 'content\\\\world%s.vorn\n' \"\$j\"
    head -c 262144 /dev/urandom > \"\$pkg/content/world\$j.vorn\"
  done
} > \"\$pkg/LFSetup.inf\"
echo \"package: \$(du -sh \"\$pkg\" | cut -f1)\"
now() { date +%s.%N; }
install_total=0 copy_total=0
for r in \$(seq 1 $runs); do
  rm -rf \"\$c/Program Files/LUMENFIELD\" \"\$c/PlainCopy\"
  t0=\$(now)
  wine 'T:\\build\\win64\\bin\\lfdrive.exe' --cwd 'C:\\Bench' --answer No -- 'C:\\Bench\\LFSetup.exe' >/dev/null
  t1=\$(now)
  wine 'T:\\build\\win64\\bin\\plaincopy.exe' 'C:\\Bench' 'C:\\PlainCopy' >/dev/null
  t2=\$(now)
  ti=\$(echo \"\$t1 - \$t0\" | bc); tc=\$(echo \"\$t2 - \$t1\" | bc)
  printf 'run %d: install %.2f s, plain copy %.2f s\n' \$r \$ti \$tc
  install_total=\$(echo \"\$install_total + \$ti\" | bc); copy_total=\$(echo \"\$copy_total + \$tc\" | bc)
done
installed=\$(find \"\$c/Program Files/LUMENFIELD/World\" -type f | wc -l)
copied=\$(find \"\$c/PlainCopy\" -type f | wc -l)
echo \"files installed: \$installed, files copied plainly: \$copied\"
printf 'mean: install %.2f s, plain copy %.2f s, ratio %.2f\n' \
  \$(echo \"\$install_total / $runs\" | bc -l) \$(echo \"\$copy_total / $runs\" | bc -l) \
  \$(echo \"\$install_total / \$copy_total\" | bc -l)
"
