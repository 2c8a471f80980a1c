#!/usr/bin/env bash
# Runs inside one clean Wine machine (WINEPREFIX set by wine-run.sh): builds
# a benchmark package in C:\Bench, its single-file download (lfpack build)
# and an NSIS installer of the same files that does the same work, then
# times, in every rep, each variant once, in an order that turns from rep to
# rep: a plain copy of the files, the silent install from the folder, the
# silent install from the single file, the NSIS installer's silent install,
# and both uninstalls. Prints the sizes, each rep, and the medians with the
# ratios to NSIS.
#   benchmark-on-machine.sh TOP RUNS KIND
# KIND "random": 100 versioned DLLs of 35 KB in "Core" and 200 content files
# of 256 KB, their bytes random (nothing compresses). KIND "library": the
# same files made of real library bytes (Wine's own DLLs), which compress as
# a product's programs do.
set -euo pipefail
. "$(dirname "$0")/benchmark-common.sh"
top=$1 runs=$2 kind=${3:-random}
b="$top/build/win64"
c="$WINEPREFIX/drive_c"
pkg="$c/Bench" plain="$c/PlainSource" work="$WINEPREFIX/bench-work"
mkdir -p "$pkg/core" "$work"
cp "$b/bin/LFSetup.exe" "$top/tools/sample-package/license.txt" "$pkg/"

# The two programs every install starts and waits for (the control program
# with "/r", the viewer with "-r"): a console program that ends at once, for
# both installers alike.
printf 'int main(void) { return 0; }\n' > "$work/quick.c"
x86_64-w64-mingw32-gcc -s -o "$pkg/LFViewer.exe" "$work/quick.c"
cp "$pkg/LFViewer.exe" "$pkg/LFCtrl.exe"

# The bytes files are made of: random, or Wine's own libraries one after the
# other (in name order, so that every run builds the same files).
source_bytes() {  # source_bytes COUNT > file
  if [ "$kind" = random ]; then
    head -c "$1" /dev/urandom
  else
    dd if="$work/library.bin" iflag=skip_bytes,count_bytes skip="$offset" count="$1" status=none
    offset=$(( (offset + $1) % (library_size - $1) ))
  fi
}
offset=0
if [ "$kind" != random ]; then
  libs=$(ls /usr/lib/x86_64-linux-gnu/wine/x86_64-windows/*.dll 2>/dev/null || ls /usr/lib/wine/x86_64-windows/*.dll)
  # 80 MB of them, whole libraries only.
  for lib in $libs; do
    cat "$lib" >> "$work/library.bin"
    [ "$(stat -c %s "$work/library.bin")" -lt 80000000 ] || break
  done
  library_size=$(stat -c %s "$work/library.bin")
fi

core_lines=(LFViewer.exe LFCtrl.exe)
used=$(( ${#core_lines[0]} + 1 + ${#core_lines[1]} + 1 ))
# One small DLL with version information, padded to 35 KB, stamped with its
# own version for each copy.
printf '#include <windows.h>\nBOOL WINAPI DllMain(HINSTANCE i, DWORD r, LPVOID p) { return TRUE; }\n' > "$work/lib.c"
for i in $(seq 0 99); do
  source_bytes 30000 > "$work/pad.bin"
  cat > "$work/lib.rc" <<RC
1 VERSIONINFO FILEVERSION 1,0,0,$i PRODUCTVERSION 1,0,0,$i
BEGIN BLOCK "StringFileInfo" BEGIN BLOCK "040904b0" BEGIN VALUE "FileVersion", "1.0.0.$i" END END
BLOCK "VarFileInfo" BEGIN VALUE "Translation", 0x409, 1200 END END
2 RCDATA "$work/pad.bin"
RC
  x86_64-w64-mingw32-windres "$work/lib.rc" -O coff -o "$work/lib.res"
  name=$(printf 'lib%03d.dll' "$i")
  x86_64-w64-mingw32-gcc -shared -s -nostdlib -e DllMain -o "$pkg/core/$name" "$work/lib.c" "$work/lib.res"
  core_lines+=("core\\$name"); used=$((used + 16))
done
# Content lines of 9 characters: 200 of them fit the list's 2048 bytes.
content_lines=()
for j in $(seq -w 1 200); do
  content_lines+=("w$j.vorn")
  source_bytes 262144 > "$pkg/w$j.vorn"
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
echo "package ($kind): $files files, $(du -sb "$plain" | cut -f1) bytes"

# The peer: an NSIS installer of the same files (NSIS's default compression,
# zlib, each file on its own) that does what the setup does: the files, an
# uninstall entry, two links, an uninstaller, and the same two programs
# started and waited for.
{
  peer_script_head
  cat <<NSI
Section
  SetOutPath "\$INSTDIR"
  File /r "$plain/*"
  !insertmacro PeerWork
SectionEnd
Section "Uninstall"
  RMDir /r "\$INSTDIR\\core"
  Delete "\$INSTDIR\\*.vorn"
  Delete "\$INSTDIR\\*.exe"
  !insertmacro PeerUnwork
SectionEnd
NSI
} > "$work/peer.nsi"
makensis -V1 "$work/peer.nsi"

world="$c/Program Files/LUMENFIELD/World"

single_size=$(stat -c %s "$c/QuillaraSetup.exe") peer_size=$(stat -c %s "$c/PeerSetup.exe")
echo "sizes: single file $single_size bytes, NSIS's $peer_size bytes ($(echo "scale=3; $single_size / $peer_size" | bc)x)"

# Each variant leaves the machine as it found it.
variant() {
  case $1 in
    copy)
      rm -rf "$c/PlainCopy"
      t_copy=$(timed wine 'T:\build\win64\bin\plaincopy.exe' 'C:\PlainSource' 'C:\PlainCopy')
      rm -rf "$c/PlainCopy" ;;
    folder)
      t_folder=$(timed wine 'C:\Bench\LFSetup.exe' /S)
      [ -f "$world/w200.vorn" ] || { echo "the folder install left no files"; exit 1; }
      t_uninstall=$(timed wine 'C:\windows\LFUninst.exe' '\s')
      [ ! -e "$world/LFViewer.exe" ] || { echo "the quiet uninstall left the files"; exit 1; }
      rm -rf "$c/Program Files/LUMENFIELD" ;;
    single)
      t_single=$(timed wine 'C:\QuillaraSetup.exe' /S)
      [ -f "$world/w200.vorn" ] || { echo "the single-file install left no files"; exit 1; }
      [ -z "$(ls "$c/users/root/Temp")" ] || { echo "the single-file install left files in the temporary folder"; exit 1; }
      wine 'C:\windows\LFUninst.exe' '\s' > /dev/null 2>&1
      rm -rf "$c/Program Files/LUMENFIELD" ;;
    peer) peer_round "$c/Peer/World/w200.vorn" ;;
  esac
}

order=(copy folder single peer)
copy=() folder=() single=() peer=() uninstall=() peer_uninstall=()
for r in $(seq 1 "$runs"); do
  for k in 0 1 2 3; do variant "${order[$(( (k + r) % 4 ))]}"; done
  printf 'rep %d: plain copy %.3f s, folder %.3f s, single file %.3f s, NSIS %.3f s, quiet uninstall %.3f s, NSIS uninstall %.3f s\n' \
    "$r" "$t_copy" "$t_folder" "$t_single" "$t_peer" "$t_uninstall" "$t_peer_uninstall"
  copy+=("$t_copy") folder+=("$t_folder") single+=("$t_single") peer+=("$t_peer")
  uninstall+=("$t_uninstall") peer_uninstall+=("$t_peer_uninstall")
done

# The temporary folder's peak, watched from outside during one more,
# untimed single-file install.
temp="$c/users/root/Temp"
wine 'C:\QuillaraSetup.exe' /S > /dev/null 2>&1 &
installer=$!
peak=0
while kill -0 "$installer" 2>/dev/null; do
  size=$(du -sb "$temp" 2>/dev/null | cut -f1) || size=0
  [ "${size:-0}" -gt "$peak" ] && peak=$size
  sleep 0.005
done
wine 'C:\windows\LFUninst.exe' '\s' > /dev/null 2>&1
empty=$(du -sb "$temp" | cut -f1)

mc=$(median "${copy[@]}") mi=$(median "${folder[@]}") mf=$(median "${single[@]}") mp=$(median "${peer[@]}")
mu=$(median "${uninstall[@]}") mq=$(median "${peer_uninstall[@]}")
ratio() { echo "scale=2; $1 / $mp" | bc; }
echo "medians of $runs reps ($kind, $files files):"
printf '  plain copy          %.3f s  (%sx NSIS)\n' "$mc" "$(ratio "$mc")"
printf '  NSIS one file       %.3f s  (1.00x)\n' "$mp"
printf '  ours, folder        %.3f s  (%sx)\n' "$mi" "$(ratio "$mi")"
printf '  ours, single file   %.3f s  (%sx)\n' "$mf" "$(ratio "$mf")"
printf '  quiet uninstall     %.3f s; NSIS uninstall %.3f s\n' "$mu" "$mq"
echo "peak of the temporary folder during the single-file install: $((peak - empty)) bytes above its empty size ($empty)"
