#!/usr/bin/env bash
# Installs what building and testing need, and only what is missing: quick when all is there.
# Where this machine executes 32-bit x86 code, 32-bit Wine runs the shipped programs here; where it
# does not, the emulated PC does (scripts/emulated_pc.sh), and QEMU and debootstrap are installed to
# make and boot it. wine64 runs the 64-bit twin on every machine.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

need=()
have_pkg() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }

pkgs=(cmake ninja-build googletest g++-mingw-w64-i686-posix binutils-mingw-w64-i686 mingw-w64-i686-dev
      g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 mingw-w64-x86-64-dev wine64
      xvfb xauth x11-utils fonts-ipafont-gothic clang libfuzzer-14-dev libclang-rt-14-dev
      imagemagick locales liblz4-dev libpng-dev)
source "$root/scripts/wine-env.sh" "$root" >/dev/null 2>&1
if [ "$NIMBRA_I686_WHERE" = here ]; then
  pkgs+=(wine wine32:i386)
else
  pkgs+=(qemu-system-x86 debootstrap e2fsprogs)
fi
for p in "${pkgs[@]}"; do have_pkg "$p" || need+=("$p"); done

if [ ${#need[@]} -gt 0 ]; then
  echo "bootstrap: installing ${need[*]}"
  export DEBIAN_FRONTEND=noninteractive
  if [ "$NIMBRA_I686_WHERE" = here ] && ! dpkg --print-foreign-architectures | grep -qx i386; then
    dpkg --add-architecture i386
  fi
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${need[@]}" >/dev/null
fi

# Wine runs with code page 932 only when the Japanese locale exists.
if ! locale -a 2>/dev/null | grep -qix 'ja_JP.utf8'; then
  echo "bootstrap: generating ja_JP.UTF-8"
  sed -i 's/^# *ja_JP.UTF-8 UTF-8/ja_JP.UTF-8 UTF-8/' /etc/locale.gen
  grep -q '^ja_JP.UTF-8 UTF-8' /etc/locale.gen || echo 'ja_JP.UTF-8 UTF-8' >> /etc/locale.gen
  locale-gen >/dev/null
fi
