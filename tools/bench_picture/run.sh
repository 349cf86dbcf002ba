#!/usr/bin/env bash
# Builds the picture benchmarks without sanitizers (-O2) and runs them on the sample show: the native
# decode comparison (QJX, memcpy, LZ4, PNG made by ImageMagick) and, under Wine, file-to-surface loading.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
cd "$root"

fail() { echo "bench_picture/run.sh: $*" >&2; exit 1; }
log=$(mktemp)
trap 'rm -f "$log"' EXIT

scripts/build.sh win32 >"$log" 2>&1 || { tail -n 20 "$log" >&2; fail "the Win32 build failed"; }
# A plain release build: without sanitizers, and without the fuzzers' coverage flags, which only a
# build that links the fuzzer runtime can carry (set here, also over an older build/bench).
CC=clang CXX=clang++ cmake -S . -B build/bench -G Ninja -DCMAKE_BUILD_TYPE=Release \
      -DCMAKE_CXX_FLAGS_RELEASE="-O2 -DNDEBUG" -DNIMBRA_SANITIZE=OFF -DNIMBRA_HAVE_LIBFUZZER=OFF \
      >"$log" 2>&1 || { tail -n 20 "$log" >&2; fail "cannot configure the native benchmark build"; }
cmake --build build/bench --target bench_picture >"$log" 2>&1 || { tail -n 20 "$log" >&2; fail "bench_picture cannot be built"; }
command -v convert >/dev/null || fail "ImageMagick's convert is needed to make the PNG files to compare with"

png=build/bench/png
mkdir -p "$png"
build/bench/bin/bench_picture --export-bmp build/win32/show "$png" || fail "cannot read the sample show in build/win32/show"
for bmp in "$png"/slide_*.bmp; do
  convert "$bmp" -define png:compression-level=9 "${bmp%.bmp}.png"
done
echo "== native decode (QJX vs memcpy, LZ4, PNG by ImageMagick), into 32-bit pixels =="
echo "machine: $(uname -m), $(sed -n 's/^model name[[:space:]]*: //p' /proc/cpuinfo | head -n1)"
build/bench/bin/bench_picture build/win32/show "$png"

echo "== Win32, under Wine: LoadImageFile (file to surface) vs decode alone =="
source scripts/wine-env.sh build
if [ "$NIMBRA_I686_WHERE" = pc ]; then
  scripts/emulated_pc.sh session build/win32/wine-run build/win32/bin/bench_load.exe
else
  nimbra_session_start
  build/win32/wine-run build/win32/bin/bench_load.exe
fi
