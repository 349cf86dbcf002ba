#!/usr/bin/env bash
# Builds everything and runs every test: the Win32 tests against the shipped i686 programs (under
# 32-bit Wine here, or in the emulated PC where this machine cannot execute 32-bit code) and against
# their 64-bit twin under wine64, the parsers natively under the sanitizers, the fuzz targets for a
# bounded time. Ends with ctest's summary. Arguments go to ctest (for example -L x64, -R saver).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

scripts/bootstrap.sh
source scripts/wine-env.sh build x64
# Where the i686 programs need the emulated PC, its disk is made (or found up to date) while the
# trees build: making it mostly waits on downloads.
pc_log=$(mktemp)
pc_make=
if [ "$NIMBRA_I686_WHERE" = pc ]; then
  scripts/emulated_pc.sh make >"$pc_log" 2>&1 &
  pc_make=$!
fi
if ! scripts/build.sh; then
  [ -z "$pc_make" ] || kill "$pc_make" 2>/dev/null || true
  exit 1
fi
if [ -n "$pc_make" ]; then
  pc_status=0
  wait "$pc_make" || pc_status=$?
  cat "$pc_log"
  [ "$pc_status" -eq 0 ] || { echo "The emulated PC could not be made: the i686 tests cannot run." >&2; exit 1; }
fi
rm -f "$pc_log"

# One ctest run over the three trees, so that one summary closes the output.
cat > build/CTestTestfile.cmake <<'CTEST'
subdirs(native win32 win64)
CTEST

nimbra_session_start 1024x768
source scripts/wine-env.sh build i686
selected=$(ctest --test-dir build --show-only=json-v1 "$@")
if [[ "$selected" == *'"i686"'* ]]; then
  if [ "$NIMBRA_I686_WHERE" = here ]; then
    echo "The i686 programs run here, under 32-bit Wine."
    nimbra_prefix_init
    nimbra_wineserver_start
  else
    echo "This machine cannot execute 32-bit x86 code: the i686 programs run in the emulated PC."
    trap 'scripts/emulated_pc.sh stop; nimbra_cleanup' EXIT
    scripts/emulated_pc.sh start
  fi
fi
ctest --test-dir build --output-on-failure -j2 "$@"
