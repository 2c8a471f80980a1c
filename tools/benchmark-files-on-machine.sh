#!/usr/bin/env bash
# Runs inside one clean Wine machine (WINEPREFIX set by wine-run.sh): a
# package of COUNT files of 4 KiB in the "Core" list, and an NSIS installer
# of the same files that does the same work, timed against each other in
# every rep, in an order that turns from rep to rep:
#   - our single file's silent install and NSIS's silent install: the same
#     files, an uninstall entry, two links, an uninstaller, and the same two
#     program starts (a console program that ends at once, for both);
#   - our quiet uninstall and NSIS's uninstaller, which deletes each file by
#     name, as ours deletes each recorded file.
# Prints the sizes, the time of `lfpack check` on the package, each rep and
# the medians with the ratios to NSIS, and a last line for the caller:
#   files COUNT single S peer P uninstall U peer-uninstall Q
#   benchmark-files-on-machine.sh TOP RUNS COUNT
# The files lie in folders of 100, as a product's files do: Wine looks a
# name that is not there up by reading its whole folder (10,000 new files in
# one folder took 18 s here, 1,000 took 0.5 s), which Windows does not.
set -euo pipefail
. "$(dirname "$0")/benchmark-common.sh"
top=$1 runs=$2 count=$3
b="$top/build/win64"
c="$WINEPREFIX/drive_c"
pkg="$c/Bench" work="$WINEPREFIX/bench-work"
mkdir -p "$pkg" "$work"
cp "$b/bin/LFSetup.exe" "$top/tools/sample-package/license.txt" "$pkg/"
printf 'int main(void) { return 0; }\n' > "$work/quick.c"
x86_64-w64-mingw32-gcc -s -o "$pkg/LFViewer.exe" "$work/quick.c"
cp "$pkg/LFViewer.exe" "$pkg/LFCtrl.exe"

# The files: random bytes, 4 KiB each, 100 to a folder.
head -c $((count * 4096)) /dev/urandom > "$work/all.bin"
python3 - "$work/all.bin" "$pkg" "$count" <<'PY'
import os, sys
data, pkg, count = open(sys.argv[1], "rb").read(), sys.argv[2], int(sys.argv[3])
for i in range(count):
    folder = os.path.join(pkg, "d%03d" % (i // 100))
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, "f%05d.dat" % i), "wb") as f:
        f.write(data[i * 4096:(i + 1) * 4096])
PY
{
  printf '[Log]\r\nKey=LFViewer\r\nAlt=Quillara\r\nName=Quillara Browser\r\nTarget=LFViewer.exe\r\n'
  printf 'Menu=Quillara Browser\\Quillara Browser\r\nUninst=Uninstall Quillara Browser\r\n'
  printf 'Icon=Quillara Browser\r\n[Core]\r\nLFViewer.exe\r\nLFCtrl.exe\r\n'
  for i in $(seq 0 $((count - 1))); do printf 'd%03d\\f%05d.dat\r\n' $((i / 100)) "$i"; done
} > "$pkg/LFSetup.inf"

t0=$(now)
"$top/build/native/lfpack" check "$pkg" > "$work/check.log" || { cat "$work/check.log"; exit 1; }
t1=$(now)
echo "lfpack check of $count lines: $(echo "$t1 - $t0" | bc) s ($(tail -1 "$work/check.log"))"
"$top/build/native/lfpack" build "$pkg" "$c/QuillaraSetup.exe" | tail -1

# The peer: one File line per file, the same starts, an uninstaller that
# deletes each file by name.
{
  peer_script_head
  cat <<NSI
Section
  SetOutPath "\$INSTDIR"
  File "$pkg/LFViewer.exe"
  File "$pkg/LFCtrl.exe"
NSI
  for i in $(seq 0 $((count - 1))); do
    d=$(printf 'd%03d' $((i / 100)))
    [ $((i % 100)) -eq 0 ] && printf '  SetOutPath "$INSTDIR\\%s"\n' "$d"
    printf '  File "%s/%s/f%05d.dat"\n' "$pkg" "$d" "$i"
  done
  cat <<NSI
  !insertmacro PeerWork
SectionEnd
Section "Uninstall"
  Delete "\$INSTDIR\\LFViewer.exe"
  Delete "\$INSTDIR\\LFCtrl.exe"
NSI
  for i in $(seq 0 $((count - 1))); do printf '  Delete "$INSTDIR\\d%03d\\f%05d.dat"\n' $((i / 100)) "$i"; done
  for d in $(seq 0 $(((count - 1) / 100))); do printf '  RMDir "$INSTDIR\\d%03d"\n' "$d"; done
  cat <<NSI
  Delete "\$INSTDIR\\uninst.exe"
  RMDir "\$INSTDIR"
  !insertmacro PeerUnwork
SectionEnd
NSI
} > "$work/peer.nsi"
makensis -V1 "$work/peer.nsi"
echo "sizes: single file $(stat -c %s "$c/QuillaraSetup.exe") bytes, NSIS's $(stat -c %s "$c/PeerSetup.exe") bytes"

world="$c/Program Files/LUMENFIELD/World"
last=$(printf 'd%03d/f%05d.dat' $(((count - 1) / 100)) $((count - 1)))

variant() {
  case $1 in
    ours)
      t_single=$(timed wine 'C:\QuillaraSetup.exe' /S)
      [ -f "$world/$last" ] || { echo "the single-file install left no files"; exit 1; }
      t_uninstall=$(timed wine 'C:\windows\LFUninst.exe' '\s')
      [ ! -e "$world/$last" ] || { echo "the quiet uninstall left the files"; exit 1; }
      rm -rf "$c/Program Files/LUMENFIELD" ;;
    peer) peer_round "$c/Peer/World/$last" ;;
  esac
}

order=(ours peer)
single=() peer=() uninstall=() peer_uninstall=()
for r in $(seq 1 "$runs"); do
  for k in 0 1; do variant "${order[$(( (k + r) % 2 ))]}"; done
  printf 'rep %d: single file %.3f s, NSIS %.3f s, quiet uninstall %.3f s, NSIS uninstall %.3f s\n' \
    "$r" "$t_single" "$t_peer" "$t_uninstall" "$t_peer_uninstall"
  single+=("$t_single") peer+=("$t_peer") uninstall+=("$t_uninstall") peer_uninstall+=("$t_peer_uninstall")
done
ms=$(median "${single[@]}") mp=$(median "${peer[@]}") mu=$(median "${uninstall[@]}") mq=$(median "${peer_uninstall[@]}")
echo "medians of $runs reps ($count files of 4 KiB):"
printf '  install: ours (single file) %.3f s, NSIS %.3f s (%sx)\n' "$ms" "$mp" "$(echo "scale=2; $ms / $mp" | bc)"
printf '  uninstall: ours (quiet) %.3f s, NSIS %.3f s (%sx)\n' "$mu" "$mq" "$(echo "scale=2; $mu / $mq" | bc)"
echo "files $count single $ms peer $mp uninstall $mu peer-uninstall $mq"
