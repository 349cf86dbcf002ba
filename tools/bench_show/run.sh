#!/usr/bin/env bash
# Show benchmark: transition step times at 640x480 1:1 and with "Fit Screen" on a 1920x1080 screen,
# then the saver's CPU use over a minute of the show (user and system time of its process). The i686
# build, here or (where this machine cannot execute 32-bit code) in the emulated PC.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
cd "$root"
[ -n "${NIMBRA_IN_PC:-}" ] || scripts/build.sh win32 >/dev/null
source scripts/wine-env.sh build
nimbra_in_pc_if_needed "$0" "$@"

unset DISPLAY  # a screen of known size: our own Xvfb
nimbra_session_start 1920x1080

show=$(winepath -w "$root/build/win32/show")
wine build/win32/bin/bench_show.exe "$show"

seconds=${SHOW_SECONDS:-60}
wine reg add 'HKCU\Software\Varnel\Ithra Saver' /v Path /t REG_SZ /d "$show" /f >/dev/null 2>&1
for fit in 0 1; do
  wine reg add 'HKCU\Software\Varnel\Ithra Saver' /v "Fit Screen" /t REG_DWORD /d $fit /f >/dev/null 2>&1
  wine build/win32/bin/nimbra.scr /s >/dev/null 2>&1 &
  sleep 2
  pid=$(pgrep -f 'nimbra.scr /s' | head -n1)
  ticks=$(getconf CLK_TCK)
  read -r u0 s0 < <(awk '{print $14, $15}' /proc/"$pid"/stat)
  sleep "$seconds"
  read -r u1 s1 < <(awk '{print $14, $15}' /proc/"$pid"/stat)
  kill "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
  awk -v u=$((u1 - u0)) -v s=$((s1 - s0)) -v t="$ticks" -v n="$seconds" -v fit=$fit 'BEGIN {
    cpu = (u + s) / t
    printf "Saver CPU over %d s of the show (Fit Screen %d): %.2f s user+system = %.2f%% of one core\n", n, fit, cpu, 100 * cpu / n }'
done
wine reg delete 'HKCU\Software\Varnel\Ithra Saver' /v "Fit Screen" /f >/dev/null 2>&1 || true
