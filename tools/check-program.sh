#!/usr/bin/env bash
# Checks the built LFSetup.exe: a GUI program that needs no DLL beside it
# (it imports only Windows system libraries), stays small enough to be
# downloaded first (under 256 KB), and whose manifest asks Windows to run it
# as an administrator (it writes machine-wide keys and the Windows folder).
#   check-program.sh <LFSetup.exe> <objdump>
set -uo pipefail
exe=$1 objdump=${2:-objdump}
limit=262144
allowed=" ADVAPI32.dll COMCTL32.dll GDI32.dll KERNEL32.dll msvcrt.dll ole32.dll SHELL32.dll USER32.dll "
size=$(stat -c %s "$exe")
imports=$("$objdump" -p "$exe" | awk '/DLL Name/ {print $3}')
subsystem=$("$objdump" -p "$exe" | awk '/^Subsystem/ {print $2}')
echo "$(basename "$exe"): $size bytes, subsystem $subsystem, imports: $(echo $imports)"
status=0
[ "$size" -lt "$limit" ] || { echo "FAIL: $size bytes is not under $limit"; status=1; }
[ "$subsystem" = "00000002" ] || { echo "FAIL: not a Windows GUI program"; status=1; }
# The manifest resource is the program's only XML text.
level=$(grep -ao '<requestedExecutionLevel level="[A-Za-z]*"' "$exe" | sed 's/.*level="//; s/"$//' | sort -u)
[ "$level" = "requireAdministrator" ] || { echo "FAIL: execution level '${level}', not requireAdministrator"; status=1; }
# Windows compares library names without regard to case (the 32-bit import
# library names COMCTL32.DLL in capitals).
allowed=${allowed,,}
for dll in $imports; do
  case "$allowed" in *" ${dll,,} "*) ;; *) echo "FAIL: imports $dll, not a Windows system library"; status=1 ;; esac
done
exit $status
