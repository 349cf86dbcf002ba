#!/usr/bin/env bash
# Configures and builds the three trees: the shipped i686 programs (build/win32), their 64-bit twin for
# the tests under wine64 (build/win64), and the native parser tests (build/native).
# Arguments name the trees to build (win32 win64 native); none builds all three.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
trees=("$@")
[ ${#trees[@]} -gt 0 ] || trees=(win32 win64 native)

for tree in "${trees[@]}"; do
  if [ ! -f "build/$tree/build.ninja" ]; then
    case "$tree" in
      win32) options=(-DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-i686-mingw.cmake") ;;
      win64) options=(-DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-x86_64-mingw.cmake") ;;
      native) options=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++) ;;
      *) echo "build.sh: no tree named $tree (win32, win64, native)" >&2; exit 2 ;;
    esac
    cmake -S . -B "build/$tree" -G Ninja "${options[@]}" >/dev/null
  fi
  cmake --build "build/$tree"
done
