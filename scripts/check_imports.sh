#!/bin/sh
# Reads the import tables of the given Win32 programs and fails on any DLL that a Windows 95 system
# lacks, and on any function that came after Windows 95 and Windows NT 4.0 (scripts/later_imports.txt).
set -u
here=$(cd "$(dirname "$0")" && pwd)
allowed="kernel32.dll user32.dll gdi32.dll advapi32.dll shell32.dll comctl32.dll winmm.dll msvcrt.dll"
status=0
for program in "$@"; do
  table=$(i686-w64-mingw32-objdump -p "$program") || { echo "cannot read $program"; exit 1; }
  imports=$(printf '%s\n' "$table" | awk '
    /DLL Name:/ { dll = tolower($3); next }
    /^$/ { if (dll != "" && seen) dll = ""; next }
    dll != "" && NF == 3 && $1 ~ /^[0-9a-f]+$/ && $2 ~ /^[0-9]+$/ { print dll, $3; seen = 1 }')
  for dll in $(printf '%s\n' "$table" | awk '/DLL Name:/ { print tolower($3) }'); do
    case " $allowed " in
      *" $dll "*) ;;
      *) echo "$(basename "$program"): imports $dll, which Windows 95 does not have"; status=1 ;;
    esac
  done
  while read -r name; do
    case "$name" in ''|'#'*) continue ;; esac
    if printf '%s\n' "$imports" | awk -v n="$name" '$2 == n { found = 1 } END { exit !found }'; then
      echo "$(basename "$program"): imports $name, which Windows 95 or NT 4.0 does not have"
      status=1
    fi
  done < "$here/later_imports.txt"
  count=$(printf '%s\n' "$imports" | grep -c .)
  echo "$(basename "$program"): $count imported functions checked"
done
exit $status
