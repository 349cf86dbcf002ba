#!/usr/bin/env bash
# Makes the README's pictures in docs/: the show (centred on a 1024x768 screen), the settings dialog
# and the installer's main dialog, each taken under Xvfb from the real programs.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
source scripts/wine-env.sh build
nimbra_built_i686 "$0" "$@"
[ -n "${NIMBRA_IN_PC:-}" ] || unset DISPLAY
nimbra_session_start 1024x768
mkdir -p docs

key='HKCU\Software\Varnel\Ithra Saver'
wine reg add "$key" /v Path /t REG_SZ /d "$(winepath -w "$root/build/win32/show")" /f >/dev/null 2>&1
wine reg add "$key" /v "Fit Screen" /t REG_DWORD /d 0 /f >/dev/null 2>&1

# The show: a moment of the first wipe, and the slide standing after it.
wine build/win32/bin/nimbra.scr /s >/dev/null 2>&1 &
pid=$!
sleep 3.2
/usr/bin/import -window root /tmp/nimbra-wipe.png
sleep 5
/usr/bin/import -window root /tmp/nimbra-slide.png
kill "$pid" 2>/dev/null || true
wait "$pid" 2>/dev/null || true
/usr/bin/convert /tmp/nimbra-wipe.png /tmp/nimbra-slide.png -crop 640x480+192+144 +repage -resize 50% +append docs/show.png

wine build/win32/bin/nimbra.scr /c >/dev/null 2>&1 &
pid=$!
sleep 2
/usr/bin/import -window root -crop 300x170+0+0 docs/settings.png
kill "$pid" 2>/dev/null || true
wait "$pid" 2>/dev/null || true

# The installer as a new user sees it: nothing installed yet.
wine reg delete "$key" /f >/dev/null 2>&1 || true
(cd build/win32/media && wine setup.exe >/dev/null 2>&1) &
pid=$!
sleep 2.5
/usr/bin/import -window root /tmp/setup-screen.png
kill "$pid" 2>/dev/null || true
wait "$pid" 2>/dev/null || true
/usr/bin/convert /tmp/setup-screen.png -trim +repage docs/setup.png
echo "Pictures written: docs/show.png docs/settings.png docs/setup.png"
