#!/bin/sh
# Checks the linked programs we ship, each with its link map beside it (PROGRAM.map), for the machines
# they are for: Windows 95 and NT 4.0 on a 486 or later.
#  - Imports: every DLL function imported must be listed in scripts/allowed_imports.txt.
#  - Instructions: the whole image is disassembled; every instruction must belong to the 80486 set,
#    except in the functions scripts/allowed_instructions.txt names (the MMX routines, the processor
#    check), which may use the kind it gives them. A failure names the address and the function.
# Usage: check_programs.sh PROGRAM...
set -u
here=$(cd "$(dirname "$0")" && pwd)
status=0
[ $# -gt 0 ] || { echo "usage: check_programs.sh PROGRAM..."; exit 2; }

for program in "$@"; do
  name=$(basename "$program")
  table=$(i686-w64-mingw32-objdump -p "$program") || { echo "$name: cannot read it"; exit 1; }
  printf '%s\n' "$table" | awk '
    /DLL Name:/ { dll = tolower($3); next }
    dll != "" && NF == 3 && $1 ~ /^[0-9a-f]+$/ && $2 ~ /^[0-9]+$/ { print dll, $3 }' > "$program.imports"
  unlisted=$(awk 'NR == FNR { if ($0 !~ /^#/ && NF >= 2) allowed[tolower($1) " " $2] = 1; next }
                  !($1 " " $2 in allowed) { print }' "$here/allowed_imports.txt" "$program.imports")
  if [ -n "$unlisted" ]; then
    printf '%s\n' "$unlisted" | sed "s/^/$name: imports /; s/\$/, which scripts\/allowed_imports.txt does not list/"
    status=1
  fi
  echo "$name: $(grep -c . "$program.imports") imported functions checked"
  rm -f "$program.imports"

  [ -f "$program.map" ] || { echo "$name: no link map $program.map"; status=1; continue; }
  i686-w64-mingw32-objdump -d --no-show-raw-insn "$program" | awk -v program="$name" \
    -v rules="$here/allowed_instructions.txt" -v map="$program.map" '
    function hex(s,   n, i, c) {
      n = 0; s = tolower(s); sub(/^0x/, "", s)
      for (i = 1; i <= length(s); i++) { c = index("0123456789abcdef", substr(s, i, 1)); n = n * 16 + c - 1 }
      return n
    }
    # The entry of a sorted table (at, what, count n) at or below an address, or "?".
    function lookup(a, at, what, n,   lo, hi, mid) {
      if (n == 0 || a < at[1]) return "?"
      lo = 1; hi = n
      while (lo < hi) { mid = int((lo + hi + 1) / 2); if (at[mid] <= a) lo = mid; else hi = mid - 1 }
      return what[lo]
    }
    function sort(at, what, n,   i, j, a, w) {
      for (i = 2; i <= n; i++) {
        a = at[i]; w = what[i]
        for (j = i - 1; j >= 1 && at[j] > a; j--) { at[j + 1] = at[j]; what[j + 1] = what[j] }
        at[j + 1] = a; what[j + 1] = w
      }
    }
    BEGIN {
      # The 80486 instruction set as objdump spells it, x87 included; size suffixes are taken off below.
      split("aaa aad aam aas adc add and arpl bound bsf bsr bswap bt btc btr bts call lcall cbtw cwtl cwtd cltd " \
            "clc cld cli clts cmc cmp cmps cmpxchg daa das dec div enter hlt idiv imul in inc ins int int3 into " \
            "invd invlpg iret lret ret ja jae jb jbe jc jcxz jecxz je jg jge jl jle jmp ljmp jna jnae jnb jnbe " \
            "jnc jne jng jnge jnl jnle jno jnp jns jnz jo jp jpe jpo js jz lahf lar lds lea leave les lfs lgdt " \
            "lgs lidt lldt lmsw lods loop loope loopne loopz loopnz lsl lss ltr mov movs movsbw movsbl movswl " \
            "movzbw movzbl movzwl mul neg nop not or out outs pop popa popf push pusha pushf rcl rcr rol ror " \
            "sahf sal sar sbb scas seta setae setb setbe setc sete setg setge setl setle setna setnae setnb " \
            "setnbe setnc setne setng setnge setnl setnle setno setnp setns setnz seto setp setpe setpo sets " \
            "setz sgdt shl shld shr shrd sidt sldt smsw stc std sti stos str sub test verr verw wait fwait " \
            "wbinvd xadd xchg xlat xor " \
            "f2xm1 fabs fadd faddp fiadd fbld fbstp fchs fclex fnclex fcom fcomp fcompp fcos fdecstp fdiv fdivp " \
            "fidiv fdivr fdivrp fidivr ffree ficom ficomp fild fincstp finit fninit fist fistp fld fld1 fldcw " \
            "fldenv fldl2e fldl2t fldlg2 fldln2 fldpi fldz fmul fmulp fimul fnop fpatan fprem fprem1 fptan " \
            "frndint frstor fsave fnsave fscale fsin fsincos fsqrt fst fstcw fnstcw fstenv fnstenv fstp fstsw " \
            "fnstsw fsub fsubp fisub fsubr fsubrp fisubr ftst fucom fucomp fucompp fxam fxch fxtract fyl2x " \
            "fyl2xp1", list, " ")
      for (i in list) i486[list[i]] = 1
      # ud2 is how the compiler stops at a place that cannot be reached: on a 486 the same two bytes stop it too.
      i486["ud2"] = 1
      split("emms movd movq packssdw packsswb packuswb paddb paddw paddd paddsb paddsw paddusb paddusw pand " \
            "pandn pcmpeqb pcmpeqw pcmpeqd pcmpgtb pcmpgtw pcmpgtd pmaddwd pmulhw pmullw por psllw pslld psllq " \
            "psraw psrad psrlw psrld psrlq psubb psubw psubd psubsb psubsw psubusb psubusw punpckhbw punpckhwd " \
            "punpckhdq punpcklbw punpcklwd punpckldq pxor", list, " ")
      for (i in list) mmx[list[i]] = 1
      split("rep repz repe repnz repne lock data16 addr16 data32 addr32 cs ds es ss fs gs", list, " ")
      for (i in list) prefix[list[i]] = 1
      # The functions allowed more, by name without the parameter list: "NAME KIND reason".
      while ((getline line < rules) > 0) {
        if (line ~ /^#/ || split(line, f, " ") < 2) continue
        kind[f[1]] = f[2]
      }
      # From the link map: its symbols ("ADDRESS NAME" lines) and the object file of each code section
      # (" .text ADDRESS SIZE FILE", the name on a line of its own when it is long).
      count = 0; files = 0; pending = 0
      while ((getline line < map) > 0) {
        if (line ~ /^ \.text[^ ]*$/) { pending = 1; continue }
        # The linker puts the constructor and destructor lists, data, at the end of the code section.
        if (line ~ / ___CTOR_LIST__ = \./) { match(line, /0x[0-9a-f]+/); lists = hex(substr(line, RSTART, RLENGTH)) }
        if (line ~ /^ \.text[^ ]* +0x/ || (pending && line ~ /^ +0x[0-9a-f]+ +0x[0-9a-f]+ +[^ ]/)) {
          split(line, f, " ")
          o = (pending ? f[3] : f[4]); sub(/.*\//, "", o)
          if (hex(pending ? f[1] : f[2]) > 0) { files++; fileAt[files] = hex(pending ? f[1] : f[2]); fileName[files] = o }
        } else if (line ~ /^ +0x[0-9a-f]+ +[^ ]/ && line !~ /=/ && line !~ /^ +0x[0-9a-f]+ +0x/) {
          match(line, /0x[0-9a-f]+/)
          a = hex(substr(line, RSTART, RLENGTH))
          n = substr(line, RSTART + RLENGTH); sub(/^ +/, "", n)
          if (a > 0) { count++; at[count] = a; what[count] = n }
        }
        pending = 0
      }
      sort(at, what, count)
      sort(fileAt, fileName, files)
      checked = 0; bad = 0; special = 0
    }
    /^ *[0-9a-f]+:\t/ {
      split($0, part, "\t")
      address = part[1]; sub(/:$/, "", address); sub(/^ +/, "", address)
      if (lists > 0 && hex(address) >= lists) next
      text = part[2]
      nw = split(text, word, " ")
      k = 1
      while (k < nw && (word[k] in prefix)) k++
      m = word[k]
      if (m == "" || m ~ /^\(bad\)/) m = "(bad)"
      operands = (k < nw) ? word[k + 1] : ""
      checked++
      base = m
      if (!(base in i486)) {
        if (base ~ /ll$/ && substr(base, 1, length(base) - 2) in i486) base = substr(base, 1, length(base) - 2)
        else if (base ~ /[bwlst]$/ && substr(base, 1, length(base) - 1) in i486) base = substr(base, 1, length(base) - 1)
      }
      later = ""
      if (operands ~ /%[xyz]mm/) later = "SSE"
      else if ((m in mmx) || operands ~ /%mm[0-7]/) later = "mmx"
      else if (m == "cpuid") later = "cpuid"
      else if (!(base in i486)) later = "later"
      if (later == "") next
      a = hex(address)
      fn = lookup(a, at, what, count)
      key = fn; sub(/\(.*/, "", key)
      if (later != "SSE" && later != "later" && kind[key] == later) { special++; next }
      bad++
      if (bad <= 400)
        printf "%s: 0x%s in %s (%s): %s, not an 80486 instruction\n", program, address, fn, lookup(a, fileAt, fileName, files), text
    }
    END {
      if (bad > 400) printf "%s: %d more\n", program, bad - 400
      printf "%s: %d instructions checked, %d in the functions allowed MMX or CPUID\n", program, checked, special
      if (checked == 0 || count == 0 || lists == 0) { print program ": nothing disassembled, or no symbols or constructor list in the map"; exit 1 }
      exit bad > 0
    }' || status=1
done
exit $status
