#!/usr/bin/env bash
# Runs inside one clean Wine machine (WINEPREFIX set by wine-run.sh): builds
# a benchmark package in C:\Bench, its single-file download (lfpack build)
# and peer installers of the same files with NSIS, then times, run after
# run: the silent install from the folder, a plain copy, the quiet
# uninstall, the silent install from the single file, and the peers' silent
# installs and uninstall.
#   benchmark-on-machine.sh TOP RUNS KIND
# KIND "lists": a "Core" list that fills its 2048 bytes with 4 KB files, and
# 200 content files of 256 KB. KIND "dlls": 100 versioned DLLs of 35 KB in
# "Core", and 200 content files of 256 KB.
set -euo pipefail
top=$1 runs=$2 kind=${3:-lists}
b="$top/build/win64"
c="$WINEPREFIX/drive_c"
pkg="$c/Bench" plain="$c/PlainSource"
mkdir -p "$pkg/core"
cp "$b/bin/LFSetup.exe" "$top/tools/sample-package/license.txt" "$pkg/"
cp "$b/bin/viewer_standin.exe" "$pkg/LFViewer.exe"
cp "$b/bin/viewer_standin.exe" "$pkg/LFCtrl.exe"

core_lines=(LFViewer.exe LFCtrl.exe)
used=$(( ${#core_lines[0]} + 1 + ${#core_lines[1]} + 1 ))
if [ "$kind" = dlls ]; then
  # One small DLL with version information, padded to 35 KB with data, and
  # stamped with its own version for each copy.
  dll="$WINEPREFIX/bench-dll"
  mkdir -p "$dll"
  printf '#include <windows.h>\nBOOL WINAPI DllMain(HINSTANCE i, DWORD r, LPVOID p) { return TRUE; }\n' > "$dll/lib.c"
  head -c 30000 /dev/urandom > "$dll/pad.bin"
  for i in $(seq 0 99); do
    cat > "$dll/lib.rc" <<RC
1 VERSIONINFO FILEVERSION 1,0,0,$i PRODUCTVERSION 1,0,0,$i
BEGIN BLOCK "StringFileInfo" BEGIN BLOCK "040904b0" BEGIN VALUE "FileVersion", "1.0.0.$i" END END
BLOCK "VarFileInfo" BEGIN VALUE "Translation", 0x409, 1200 END END
2 RCDATA "$dll/pad.bin"
RC
    x86_64-w64-mingw32-windres "$dll/lib.rc" -O coff -o "$dll/lib.res"
    name=$(printf 'lib%03d.dll' "$i")
    x86_64-w64-mingw32-gcc -shared -s -nostdlib -e DllMain -o "$pkg/core/$name" "$dll/lib.c" "$dll/lib.res"
    core_lines+=("core\\$name"); used=$((used + 16))
  done
else
  i=0
  # Lines of 16 characters plus their terminator, while the list and its final
  # terminator still fit 2048 bytes.
  while [ $((used + 17 + 1)) -le 2048 ]; do
    name=$(printf 'file%03d.dat' "$i")
    core_lines+=("core\\$name")
    head -c 4096 /dev/urandom > "$pkg/core/$name"
    used=$((used + 17)); i=$((i + 1))
  done
fi
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
"$top/build/native/lfpack" build "$pkg" "$c/QuillaraSetup.exe" | tail -1
# The plain copy and the peer get exactly the files the install copies.
mkdir -p "$plain"
cp -r "$pkg/core" "$pkg/LFViewer.exe" "$pkg/LFCtrl.exe" "$pkg"/w*.vorn "$plain/"
files=$(find "$plain" -type f | wc -l)
echo "package ($kind): $files files, $(du -sh "$plain" | cut -f1) (${#core_lines[@]} core lines in $used bytes, ${#content_lines[@]} content files of 256 KB)"

# The peer: NSIS installers of the same files with an uninstall entry, two
# links and an uninstaller, as a silent install of a product commonly makes
# them: one with NSIS's default compression (zlib), as NSIS builds them
# unless told otherwise, and one stored uncompressed, as our package is.
peer_dir="$WINEPREFIX/peer"
mkdir -p "$peer_dir"
peer_script() {  # peer_script COMPRESSION-LINE OUTFILE
cat <<NSI
Unicode true
Target amd64-unicode
$1
Name "Peer Browser"
OutFile "$2"
InstallDir "C:\\Peer\\World"
RequestExecutionLevel admin
Section
  SetOutPath "\$INSTDIR"
  File /r "$plain/*"
  WriteUninstaller "\$INSTDIR\\uninst.exe"
  WriteRegStr HKLM "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Peer Browser" "DisplayName" "Peer Browser"
  WriteRegStr HKLM "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Peer Browser" "UninstallString" "\$INSTDIR\\uninst.exe"
  CreateDirectory "\$SMPROGRAMS\\Peer Browser"
  CreateShortcut "\$SMPROGRAMS\\Peer Browser\\Peer Browser.lnk" "\$INSTDIR\\LFViewer.exe"
  CreateShortcut "\$DESKTOP\\Peer Browser.lnk" "\$INSTDIR\\LFViewer.exe"
SectionEnd
Section "Uninstall"
  RMDir /r "\$INSTDIR\\core"
  Delete "\$INSTDIR\\*.vorn"
  Delete "\$INSTDIR\\*.exe"
  Delete "\$SMPROGRAMS\\Peer Browser\\Peer Browser.lnk"
  RMDir "\$SMPROGRAMS\\Peer Browser"
  Delete "\$DESKTOP\\Peer Browser.lnk"
  DeleteRegKey HKLM "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Peer Browser"
SectionEnd
NSI
}
peer_script "" "$c/PeerSetup.exe" > "$peer_dir/peer.nsi"
peer_script "SetCompress off" "$c/PeerStored.exe" > "$peer_dir/stored.nsi"
makensis -V1 "$peer_dir/peer.nsi"
makensis -V1 "$peer_dir/stored.nsi"

now() { date +%s.%N; }
# Times one command in seconds; a failing command ends the benchmark.
timed() {
  local t0 t1
  t0=$(now)
  "$@" > "$c/bench-step.log" 2>&1 || { echo "failed: $*"; cat "$c/bench-step.log"; exit 1; }
  t1=$(now)
  echo "$t1 - $t0" | bc
}
median() { printf '%s\n' "$@" | sort -g | awk '{v[NR]=$1} END {print (NR % 2) ? v[(NR+1)/2] : (v[NR/2] + v[NR/2+1]) / 2}'; }

echo "sizes: package folder $(du -sb "$pkg" | cut -f1) bytes, single file $(stat -c %s "$c/QuillaraSetup.exe") bytes, peer's single file $(stat -c %s "$c/PeerSetup.exe") bytes (uncompressed peer $(stat -c %s "$c/PeerStored.exe"))"

install=() copy=() single=() peer=() stored=() uninstall=() peer_uninstall=()
for r in $(seq 1 "$runs"); do
  rm -rf "$c/Program Files/LUMENFIELD" "$c/PlainCopy" "$c/Peer"
  ti=$(timed wine 'C:\Bench\LFSetup.exe' /S)
  [ -f "$c/Program Files/LUMENFIELD/World/w200.vorn" ] || { echo "the silent install left no files"; exit 1; }
  tc=$(timed wine 'T:\build\win64\bin\plaincopy.exe' 'C:\PlainSource' 'C:\PlainCopy')
  tu=$(timed wine 'C:\windows\LFUninst.exe' '\s')
  [ ! -e "$c/Program Files/LUMENFIELD/World/LFViewer.exe" ] || { echo "the quiet uninstall left the files"; exit 1; }
  rm -rf "$c/Program Files/LUMENFIELD"
  tf=$(timed wine 'C:\QuillaraSetup.exe' /S)
  [ -f "$c/Program Files/LUMENFIELD/World/w200.vorn" ] || { echo "the single-file install left no files"; exit 1; }
  [ -z "$(ls "$c/users/root/Temp")" ] || { echo "the single-file install left files in the temporary folder"; exit 1; }
  wine 'C:\windows\LFUninst.exe' '\s' > /dev/null 2>&1
  rm -rf "$c/Program Files/LUMENFIELD"
  ts=$(timed wine 'C:\PeerStored.exe' /S)
  [ -f "$c/Peer/World/w200.vorn" ] || { echo "the uncompressed peer install left no files"; exit 1; }
  rm -rf "$c/Peer"
  tp=$(timed wine 'C:\PeerSetup.exe' /S)
  [ -f "$c/Peer/World/w200.vorn" ] || { echo "the peer install left no files"; exit 1; }
  # "_?=" keeps the peer's uninstaller in place, so that its end is the
  # uninstall's end (by default it copies itself away and returns at once).
  tq=$(timed wine 'C:\Peer\World\uninst.exe' /S '_?=C:\Peer\World')
  [ ! -e "$c/Peer/World/core" ] || { echo "the peer uninstall left the files"; exit 1; }
  printf 'run %d: silent install %.3f s, plain copy %.3f s, single file %.3f s, peer %.3f s, uncompressed peer %.3f s, quiet uninstall %.3f s, peer uninstall %.3f s\n' \
    "$r" "$ti" "$tc" "$tf" "$tp" "$ts" "$tu" "$tq"
  install+=("$ti") copy+=("$tc") single+=("$tf") peer+=("$tp") stored+=("$ts") uninstall+=("$tu") peer_uninstall+=("$tq")
done
mi=$(median "${install[@]}") mc=$(median "${copy[@]}") mf=$(median "${single[@]}") mp=$(median "${peer[@]}")
ms=$(median "${stored[@]}") mu=$(median "${uninstall[@]}") mq=$(median "${peer_uninstall[@]}")
ratio() { echo "scale=2; $1 / $mc" | bc; }
echo "medians of $runs runs ($kind, $files files):"
printf '  plain copy          %.3f s  (1.00x)\n' "$mc"
printf '  silent install      %.3f s  (%sx)  from the package folder\n' "$mi" "$(ratio "$mi")"
printf '  single-file install %.3f s  (%sx)  from the single file\n' "$mf" "$(ratio "$mf")"
printf '  peer install        %.3f s  (%sx)  NSIS single file, default compression\n' "$mp" "$(ratio "$mp")"
printf '  peer, uncompressed  %.3f s  (%sx)  NSIS, SetCompress off\n' "$ms" "$(ratio "$ms")"
printf '  quiet uninstall     %.3f s  (%sx)\n' "$mu" "$(ratio "$mu")"
printf '  peer uninstall      %.3f s  (%sx)\n' "$mq" "$(ratio "$mq")"
verdict() { [ "$(echo "$1 <= $2" | bc)" = 1 ] && echo "at or below" || echo "above"; }
echo "the silent install is $(verdict "$mi" "$mp") the peer's time; the single-file install is $(verdict "$mf" "$mp") it"
