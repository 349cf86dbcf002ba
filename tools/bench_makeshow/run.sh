#!/usr/bin/env bash
# makeshow benchmark: a show from fifteen 4000 by 3000 JPEG photos, slidetool makeshow against ImageMagick
# fitting each photo into 640 by 480 on black, in the same run on the same files, both timed. Here the
# x64 twin runs under wine64 (this machine cannot execute 32-bit code); BENCH_BUILD=win32 runs the
# shipped i686 build where 32-bit Wine is at hand.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
cd "$root"
build=${BENCH_BUILD:-win64}
arch=x64; [ "$build" = win32 ] && arch=
command -v convert >/dev/null || { echo "bench_makeshow/run.sh: ImageMagick's convert is needed" >&2; exit 1; }
scripts/build.sh "$build" >/dev/null

work=build/bench_makeshow
mkdir -p "$work/photos"
# Plasma is noise-like enough that the JPEGs are photo-sized (a few MB), not trivially compressible.
for i in $(seq -w 1 15); do
  [ -f "$work/photos/photo_$i.jpg" ] || convert -seed "$i" -size 4000x3000 plasma:fractal -quality 90 "$work/photos/photo_$i.jpg"
done
echo "machine: $(uname -m), $(sed -n 's/^model name[[:space:]]*: //p' /proc/cpuinfo | head -n1), $(nproc) cores"
echo "photos: 15 JPEGs, 4000 by 3000, $(du -sh "$work/photos" | cut -f1) in all"
echo "slidetool: $build/bin/slidetool.exe ($(file -b "build/$build/bin/slidetool.exe" | cut -d, -f1)) under $(wine --version 2>/dev/null || echo wine)"
echo "ImageMagick: $(convert -version | head -n1 | cut -d' ' -f2-3), threads: ${MAGICK_THREAD_LIMIT:-its default}"

unset DISPLAY
source scripts/wine-env.sh build $arch >/dev/null
nimbra_session_start >/dev/null
trap 'nimbra_cleanup >/dev/null 2>&1' EXIT
photos=$(winepath -w "$root/$work/photos")
show=$(winepath -w "$root/$work/show")
# Wine's first start in a session is slow: one start first, so that the timings are of the work.
build/$build/wine-run build/$build/bin/slidetool.exe info "$(winepath -w "$root/build/$build/show/tile.bmp")" >/dev/null 2>&1 || true

runs=${BENCH_RUNS:-3}
for run in $(seq 1 "$runs"); do
  start=$(date +%s.%N)
  build/$build/wine-run build/$build/bin/slidetool.exe makeshow "$show" "$photos" >"$work/said.txt" 2>&1 ||
    { cat "$work/said.txt" >&2; exit 1; }
  tool=$(echo "$(date +%s.%N) - $start" | bc)
  rm -rf "$work/magick" && mkdir -p "$work/magick"
  start=$(date +%s.%N)
  for photo in "$work"/photos/*.jpg; do
    convert "$photo" -resize 640x480 -background black -gravity center -extent 640x480 \
            "$work/magick/$(basename "${photo%.jpg}").bmp"
  done
  magick=$(echo "$(date +%s.%N) - $start" | bc)
  printf 'run %d: slidetool makeshow %6.2f s   ImageMagick convert x15 %6.2f s   ratio %.2f\n' \
         "$run" "$tool" "$magick" "$(echo "$tool / $magick" | bc -l)"
done
tail -n 1 "$work/said.txt"
