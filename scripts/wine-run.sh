#!/usr/bin/env bash
# Runs one Win32 program of a build under the project's Wine prefix with code page 932.
# Usage: wine-run.sh i686|x64 PROGRAM [ARG...]
# The i686 programs run in the emulated PC where this machine cannot execute 32-bit x86 code
# (scripts/emulated_pc.sh; it must be started). NIMBRA_WINDOWS_VERSION (win98, nt40, win10, ...)
# makes Wine report that Windows for the run.
root=$(cd "$(dirname "$0")/.." && pwd)
arch=$1
shift
source "$root/scripts/wine-env.sh" "$root/build" "$arch"
if [ "$arch" = i686 ] && [ "$NIMBRA_I686_WHERE" = pc ]; then
  exec "$root/scripts/emulated_pc.sh" run "$root/scripts/wine-run.sh" "$arch" "$@"
fi
if [ -z "${NIMBRA_WINDOWS_VERSION:-}" ]; then
  exec "$WINELOADER" "$@"
fi
wine reg add 'HKCU\Software\Wine' /v Version /d "$NIMBRA_WINDOWS_VERSION" /f >/dev/null 2>&1
wine "$@"
status=$?
wine reg delete 'HKCU\Software\Wine' /v Version /f >/dev/null 2>&1
exit $status
