#!/usr/bin/env bash
# Builds the picture benchmarks without sanitizers (-O2) and runs them on the sample show: the native
# decode comparison (QJX, memcpy, LZ4, PNG made by ImageMagick) and, under Wine, file-to-surface loading.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
cd "$root"

scripts/build.sh >/dev/null
if [ ! -f build/bench/build.ninja ]; then
  CC=clang CXX=clang++ cmake -S . -B build/bench -G Ninja -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_CXX_FLAGS_RELEASE="-O2 -DNDEBUG" -DNIMBRA_SANITIZE=OFF >/dev/null
fi
cmake --build build/bench --target bench_picture >/dev/null

png=build/bench/png
mkdir -p "$png"
build/bench/bin/bench_picture --export-bmp build/win32/show "$png"
for bmp in "$png"/slide_*.bmp; do
  convert "$bmp" -define png:compression-level=9 "${bmp%.bmp}.png"
done
echo "== native decode (QJX vs memcpy, LZ4, PNG by ImageMagick) =="
build/bench/bin/bench_picture build/win32/show "$png"

echo "== Win32, under Wine: LoadImageFile (file to surface) vs decode alone =="
source scripts/wine-env.sh build
nimbra_session_start
build/win32/wine-run build/win32/bin/bench_load.exe
