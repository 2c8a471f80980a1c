#!/usr/bin/env bash
# Runs inside one clean Wine machine (WINEPREFIX set by wine-run.sh): builds
# the benchmark package in C:\Bench, then times installs and plain copies.
set -euo pipefail
top=$1 runs=$2
b="$top/build/win64"
c="$WINEPREFIX/drive_c"
pkg="$c/Bench" plain="$c/PlainSource"
mkdir -p "$pkg/core"
cp "$b/bin/LFSetup.exe" "$top/tools/sample-package/license.txt" "$pkg/"
cp "$b/bin/viewer_standin.exe" "$pkg/LFViewer.exe"
cp "$b/bin/viewer_standin.exe" "$pkg/LFCtrl.exe"

core_lines=(LFViewer.exe LFCtrl.exe)
used=$(( ${#core_lines[0]} + 1 + ${#core_lines[1]} + 1 ))
i=0
# Lines of 16 characters plus their terminator, while the list and its final
# terminator still fit 2048 bytes.
while [ $((used + 17 + 1)) -le 2048 ]; do
  name=$(printf 'file%03d.dat' "$i")
  core_lines+=("core\\$name")
  head -c 4096 /dev/urandom > "$pkg/core/$name"
  used=$((used + 17)); i=$((i + 1))
done
# Content lines of 9 characters: 200 of them fit the list's 2048 bytes.
content_lines=()
for j in $(seq -w 1 200); do
  content_lines+=("w$j.vorn")
  head -c 262144 /dev/urandom > "$pkg/w$j.vorn"
done
{
  printf '[Log]\r\nKey=LFViewer\r\nAlt=Quillara\r\nName=Quillara Browser\r\nTarget=LFViewer.exe\r\n'
  printf 'Menu=Quillara Browser\\Quillara Browser\r\nUninst=Uninstall Quillara Browser\r\n'
  printf 'Icon=Quillara Browser\r\n[Core]\r\n'
  printf '%s\r\n' "${core_lines[@]}"
  printf '[Content]\r\n'
  printf '%s\r\n' "${content_lines[@]}"
} > "$pkg/LFSetup.inf"
# The plain copy gets exactly the files the install copies.
mkdir -p "$plain"
cp -r "$pkg/core" "$pkg/LFViewer.exe" "$pkg/LFCtrl.exe" "$pkg"/w*.vorn "$plain/"
echo "package: ${#core_lines[@]} core lines ($used bytes with terminators), ${#content_lines[@]} content files of 256 KB, $(du -sh "$pkg" | cut -f1)"

# The same setup with only the two programs in its lists: what an install
# costs besides its files (starting programs, shortcuts, registry, question).
small="$c/BenchSmall"
mkdir -p "$small"
cp "$pkg/LFSetup.exe" "$pkg/license.txt" "$pkg/LFViewer.exe" "$pkg/LFCtrl.exe" "$small/"
sed -n '1,/^\[Core\]/p' "$pkg/LFSetup.inf" > "$small/LFSetup.inf"
printf 'LFViewer.exe\r\nLFCtrl.exe\r\n' >> "$small/LFSetup.inf"

now() { date +%s.%N; }
install_total=0 copy_total=0 small_total=0
for r in $(seq 1 "$runs"); do
  rm -rf "$c/Program Files/LUMENFIELD" "$c/PlainCopy" "$c/windows/inf/LFUninst.inf"
  t0=$(now)
  wine 'T:\build\win64\bin\lfdrive.exe' --cwd 'C:\Bench' --answer No -- 'C:\Bench\LFSetup.exe' \
    > "$c/lfdrive.log" || { cat "$c/lfdrive.log"; exit 1; }
  t1=$(now)
  wine 'T:\build\win64\bin\plaincopy.exe' 'C:\PlainSource' 'C:\PlainCopy' > /dev/null
  t2=$(now)
  rm -rf "$c/Program Files/LUMENFIELD" "$c/windows/inf/LFUninst.inf"
  wine 'T:\build\win64\bin\lfdrive.exe' --cwd 'C:\BenchSmall' --answer No -- 'C:\BenchSmall\LFSetup.exe' \
    > "$c/lfdrive.log" || { cat "$c/lfdrive.log"; exit 1; }
  t3=$(now)
  ti=$(echo "$t1 - $t0" | bc); tc=$(echo "$t2 - $t1" | bc); ts=$(echo "$t3 - $t2" | bc)
  printf 'run %d: install %.2f s, plain copy %.2f s, install of the two programs alone %.2f s\n' \
    "$r" "$ti" "$tc" "$ts"
  small_total=$(echo "$small_total + $ts" | bc)
  install_total=$(echo "$install_total + $ti" | bc); copy_total=$(echo "$copy_total + $tc" | bc)
done
# The last run installed the small package; install the large one once more
# to count what it leaves.
rm -rf "$c/Program Files/LUMENFIELD"
wine 'T:\build\win64\bin\lfdrive.exe' --cwd 'C:\Bench' --answer No -- 'C:\Bench\LFSetup.exe' > /dev/null
echo "core files installed: $(ls "$c/Program Files/LUMENFIELD/World/core" | wc -l), content files installed: $(ls "$c/Program Files/LUMENFIELD/World/" | grep -c '^w.*vorn$')"
echo "files installed: $(find "$c/Program Files/LUMENFIELD/World" -type f | wc -l), copied plainly: $(find "$c/PlainCopy" -type f | wc -l)"
printf 'mean: install %.2f s, plain copy %.2f s, ratio %.2f\n' \
  "$(echo "$install_total / $runs" | bc -l)" "$(echo "$copy_total / $runs" | bc -l)" \
  "$(echo "$install_total / $copy_total" | bc -l)"
printf 'mean install of the two programs alone %.2f s; the files alone: install %.2f s against copy %.2f s, ratio %.2f\n' \
  "$(echo "$small_total / $runs" | bc -l)" "$(echo "($install_total - $small_total) / $runs" | bc -l)" \
  "$(echo "$copy_total / $runs" | bc -l)" "$(echo "($install_total - $small_total) / $copy_total" | bc -l)"
