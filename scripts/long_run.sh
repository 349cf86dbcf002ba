#!/usr/bin/env bash
# Plays the sample show full screen under Xvfb for ten minutes (LONG_RUN_SECONDS to change that) and
# prints the saver's memory and GDI object counts at the start and every minute to the end: both as
# Windows reports them and as Linux sees the process. They must stay flat however many slides were
# shown. It uses a Wine prefix of its own, so the tests can run meanwhile; where this machine cannot
# execute 32-bit code it runs in the emulated PC, whose figures are the emulator's.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
seconds=${LONG_RUN_SECONDS:-600}

source scripts/wine-env.sh build
nimbra_built_i686 "$0" "$@"
# The emulated PC runs nothing else meanwhile: there the script uses its display and prefix.
if [ -z "${NIMBRA_IN_PC:-}" ]; then
  unset DISPLAY
  export NIMBRA_WINEPREFIX="$root/build/longrun-prefix"
  source scripts/wine-env.sh build
fi
nimbra_session_start 1024x768

show=$(winepath -w "$root/build/win32/show")
wine reg add 'HKCU\Software\Varnel\Ithra Saver' /v Path /t REG_SZ /d "$show" /f >/dev/null 2>&1
wine build/win32/bin/nimbra.scr /s >/dev/null 2>&1 &
sleep 5
pid=$(pgrep -f 'nimbra.scr /s' | head -n1)

report() {
  echo "== $1"
  wine build/win32/bin/procstat.exe nimbra.scr 2>/dev/null | tr -d '\r'
  grep -E '^(VmRSS|VmData|Threads)' /proc/"$pid"/status | tr -s ' \t' ' ' | paste -sd ';' -
}
report "after 5 s"
elapsed=0
while [ "$elapsed" -lt "$seconds" ]; do
  step=$(( seconds - elapsed < 60 ? seconds - elapsed : 60 ))
  sleep "$step"
  elapsed=$((elapsed + step))
  report "after $((elapsed + 5)) s"
done
kill "$pid" 2>/dev/null || true
wait "$pid" 2>/dev/null || true
