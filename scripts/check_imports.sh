#!/bin/sh
# Reads the import tables of the given Win32 programs and fails on any DLL that a Windows 95 system
# lacks, and on any function that came after Windows 95 and Windows NT 4.0 (scripts/later_imports.txt).
# Then checks the instructions of the product's object files built beside them: the programs must run
# on a Pentium with MMX and no SSE, so only the MMX files (named *_mmx) may hold MMX instructions, and
# no file may hold SSE.
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

[ $# -gt 0 ] || exit $status
build=$(cd "$(dirname "$1")/.." && pwd)
# SSE registers, and the instructions that SSE added on the MMX registers or beside them.
sse='%xmm|^(pshufw|pmulhuw|pavg[bw]|pmaxub|pminub|pmaxsw|pminsw|psadbw|pextrw|pinsrw|pmovmskb|movntq|maskmovq|prefetch|[lms]fence|ldmxcsr|stmxcsr)'
mmx='%mm[0-7]|^emms'
objects=0
mmxfiles=0
for object in $(find "$build" -path '*/CMakeFiles/*' -name '*.obj' ! -path '*/googletest/*' ! -path '*/tests/*' | sort); do
  code=$(i686-w64-mingw32-objdump -d --no-show-raw-insn "$object" | awk -F'\t' 'NF >= 2 { print $2 }')
  objects=$((objects + 1))
  name=$(basename "$object")
  if [ "$(printf '%s\n' "$code" | grep -Ec "$sse")" -gt 0 ]; then
    echo "$name: holds SSE instructions"
    status=1
  fi
  found=$(printf '%s\n' "$code" | grep -Ec "$mmx")
  case "$name" in
    *_mmx.cpp.obj) [ "$found" -gt 0 ] && mmxfiles=$((mmxfiles + 1)) ;;
    *) if [ "$found" -gt 0 ]; then echo "$name: holds MMX instructions outside an MMX file"; status=1; fi ;;
  esac
done
# A check that found nothing to read proves nothing.
if [ "$objects" -eq 0 ] || [ "$mmxfiles" -eq 0 ]; then
  echo "no object files with MMX code found under $build"
  status=1
fi
echo "$objects object files checked for their instructions, $mmxfiles MMX files"
exit $status
