#!/usr/bin/env bash
# Builds everything and plays the show: nimbra.scr full screen on the sample show, with the show's
# folder set as the saver's "Path" in the project's Wine prefix, as an installation would set it.
# On a display it plays there until a key or mouse move ends it. Without one, or in the emulated PC
# (where this machine cannot execute 32-bit code), it plays under Xvfb for about 40 seconds and saves
# a screenshot every second and a contact sheet of them under out/.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

source scripts/wine-env.sh build
nimbra_built_i686 "$0" "$@"
# In the emulated PC nobody watches its display: the show plays there as under Xvfb.
had_display=
if [ -z "${NIMBRA_IN_PC:-}" ] && [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then had_display=1; fi
[ -n "${NIMBRA_IN_PC:-}" ] && echo "Playing in the emulated PC (QEMU): the shipped i686 nimbra.scr under 32-bit Wine."
[ -z "${NIMBRA_IN_PC:-}" ] && echo "Playing here: the shipped i686 nimbra.scr under 32-bit Wine."
nimbra_session_start 1024x768

# The show's folder as the saver's "Path"; put back as it was afterwards, so that the installer in
# this prefix does not take the product for installed.
key='HKCU\Software\Varnel\Ithra Saver'
previous=$(wine reg query "$key" /v Path 2>/dev/null | tr -d '\r' | sed -n 's/^ *Path *REG_SZ *//p' || true)
had_key=$(wine reg query "$key" >/dev/null 2>&1 && echo 1 || true)
restore_path() {
  if [ -z "$had_key" ]; then wine reg delete "$key" /f >/dev/null 2>&1 || true
  elif [ -n "$previous" ]; then wine reg add "$key" /v Path /t REG_SZ /d "$previous" /f >/dev/null 2>&1
  else wine reg delete "$key" /v Path /f >/dev/null 2>&1 || true
  fi
}
trap 'restore_path; nimbra_cleanup' EXIT
wine reg add "$key" /v Path /t REG_SZ /d "$(winepath -w "$root/build/win32/show")" /f >/dev/null 2>&1
saver=build/win32/bin/nimbra.scr

if [ -n "$had_display" ]; then
  wine "$saver" /s
  exit 0
fi

shots=out/show
rm -rf "$shots"
mkdir -p "$shots"
wine "$saver" /s >/dev/null 2>&1 &
pid=$!
for i in $(seq -w 1 40); do
  sleep 1
  /usr/bin/import -window root "$shots/shot_$i.png"
done
kill "$pid" 2>/dev/null || true
/usr/bin/montage "$shots"/shot_*.png -tile 8x5 -geometry 256x192+4+4 -background '#202020' out/show-contact-sheet.png
echo "No display: the show played under Xvfb for 40 s."
echo "Screenshots: $root/$shots/ ; contact sheet: $root/out/show-contact-sheet.png"
