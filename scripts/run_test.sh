#!/usr/bin/env bash
# Builds one test program and runs it, for quick work on one area:
#   scripts/run_test.sh x64 TEST [GTEST ARGS]    the 64-bit twin under wine64, here (seconds)
#   scripts/run_test.sh i686 TEST [GTEST ARGS]   the shipped i686 build: here under 32-bit Wine, or in
#                                                the emulated PC, booted for the run (a minute more)
# For example: scripts/run_test.sh x64 saver_test --gtest_filter='Slideshow.*'
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
[ $# -ge 2 ] || { sed -n '2,6p' "$0" | sed 's/^# \{0,1\}//'; exit 2; }
arch=$1 test=$2
shift 2
case "$arch" in
  x64) tree=build/win64 ;;
  i686) tree=build/win32 ;;
  *) echo "run_test.sh: the build is x64 or i686" >&2; exit 2 ;;
esac
scripts/bootstrap.sh
[ -f "$tree/build.ninja" ] || scripts/build.sh "${tree#build/}"
cmake --build "$tree" --target "$test" >/dev/null
source scripts/wine-env.sh build "$arch"
if [ "$arch" = i686 ] && [ "$NIMBRA_I686_WHERE" = pc ]; then
  echo "This machine cannot execute 32-bit x86 code: $test runs in the emulated PC."
  exec scripts/emulated_pc.sh session "$tree/wine-run" "$tree/bin/$test.exe" "$@"
fi
nimbra_session_start 1024x768
"$tree/wine-run" "$tree/bin/$test.exe" "$@"
