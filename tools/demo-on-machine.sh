#!/usr/bin/env bash
# Runs inside one clean Wine machine (WINEPREFIX set by wine-run.sh): install
# from C:\Package, show the machine, uninstall, show it again; then the same
# from the single-file download C:\Download\QuillaraSetup.exe.
set -uo pipefail
top=$1
c="$WINEPREFIX/drive_c"
lfdrive="T:\\build\\win64\\bin\\lfdrive.exe"
setup_answers=(--answer 'Next >' --answer 'I Accept' --answer 'Next >' --answer Finish --answer No)
uninstall_answers=(--answer Yes --answer Yes --answer OK)
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Quillara Browser'

show_machine() {
  echo "-- files under C:\\Program Files\\LUMENFIELD:"
  (cd "$c/Program Files" 2>/dev/null && find LUMENFIELD -type f 2>/dev/null | sed 's/^/     /') || true
  [ -d "$c/Program Files/LUMENFIELD" ] || echo "     (none)"
  echo "-- uninstaller and uninstall script:"
  for f in windows/LFUninst.exe windows/inf/LFUninst.inf; do
    if [ -f "$c/$f" ]; then echo "     C:\\${f//\//\\} present"; else echo "     C:\\${f//\//\\} absent"; fi
  done
  [ -f "$c/windows/inf/LFUninst.inf" ] && sed 's/^/       | /' "$c/windows/inf/LFUninst.inf"
  echo "-- shortcuts:"
  (cd "$c/users" && find . -name '*.lnk' | sed 's/^/     /')
  [ -n "$(cd "$c/users" && find . -name '*.lnk')" ] || echo "     (none)"
  echo "-- registry:"
  for k in 'HKLM\Software\LUMENFIELD Corporation' 'HKCU\Software\LUMENFIELD Corporation' "$uninstall_key" \
           'HKLM\Software\Microsoft\Windows\CurrentVersion\App Paths\LFViewer.exe' \
           'HKCR\vorn' 'HKCR\.vorn' 'HKCR\.3de' 'HKCR\LUMENFIELD.Document' \
           'HKLM\Software\Microsoft\IE4\DependentComponents' \
           'HKLM\Software\Microsoft\Windows\CurrentVersion\RunOnce'; do
    if out=$(wine reg query "$k" /s 2>/dev/null); then
      echo "     $k:"; echo "$out" | tr -d '\r' | sed '/^$/d; s/^/       /'
    else
      echo "     $k: absent"
    fi
  done
}

# Installs with the program $1 (started in folder $2), shows the machine,
# uninstalls as Windows does, and shows it again.
install_and_uninstall() {
  echo
  echo "== install: $1"
  wine "$lfdrive" --cwd "$2" "${setup_answers[@]}" -- "$1"
  echo "   lfdrive exit code: $?"
  show_machine
  if cmp -s "$c/windows/LFUninst.exe" "$top/dist/win64/LFSetup.exe"; then
    echo "-- the uninstaller is the package's signed LFSetup.exe, byte for byte"
  else
    echo "-- the uninstaller differs from the package's signed LFSetup.exe"
  fi
  echo
  uninstall=$(wine reg query "$uninstall_key" /v UninstallString 2>/dev/null | tr -d '\r' | awk -F'REG_SZ' '/UninstallString/ {sub(/^[ \t]+/, "", $2); print $2}')
  if [ -n "$uninstall" ]; then
    echo "== uninstall, as Windows starts it: $uninstall"
    wine "$lfdrive" "${uninstall_answers[@]}" -- "$uninstall"
    echo "   lfdrive exit code: $?"
    show_machine
  else
    echo "== uninstall: the install wrote no Add/Remove Programs entry, so there is nothing to uninstall"
  fi
}

mkdir -p "$c/Package" "$c/Download"
cp -r "$top/dist/win64/." "$c/Package/"
cp "$top/dist/QuillaraSetup-win64.exe" "$c/Download/QuillaraSetup.exe"
echo
echo "== the package: C:\\Package holds $(find "$c/Package" -type f | wc -l) files of $(du -sb "$c/Package" | cut -f1) bytes; the single file C:\\Download\\QuillaraSetup.exe is $(stat -c %s "$c/Download/QuillaraSetup.exe") bytes"
install_and_uninstall 'C:\Package\LFSetup.exe' 'C:\Package'
install_and_uninstall 'C:\Download\QuillaraSetup.exe' 'C:\Download'
echo "-- the temporary folder at the end: $(ls "$c/users/root/Temp" | tr '\n' ' ')holding $(find "$c/users/root/Temp" -type f | wc -l) files (the uninstallers' private copy folders go at the next restart; the download's own folder is gone)"
