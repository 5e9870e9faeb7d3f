#!/usr/bin/env bash
# ComboFlash.exe must start on a bare Windows: every DLL it imports is one the
# system itself ships. Usage: system_dlls_only_test.sh OBJDUMP PROGRAM
set -euo pipefail
objdump=$1 program=$2
allowed=' comctl32.dll comdlg32.dll kernel32.dll msvcrt.dll user32.dll gdi32.dll advapi32.dll '
imports=$("$objdump" -p "$program" | awk '/DLL Name:/ {print tolower($3)}')
[ -n "$imports" ] || { echo "no imports read from $program"; exit 1; }
status=0
for dll in $imports; do
  case $allowed in
    *" $dll "*) echo "system DLL: $dll" ;;
    *) echo "not a system DLL: $dll"; status=1 ;;
  esac
done
exit $status
