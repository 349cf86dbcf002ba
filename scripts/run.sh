#!/usr/bin/env bash
# Builds everything and runs the product's main job: the saver's settings dialog (nimbra.scr /c).
# On a display it opens there; without one it runs under Xvfb and saves a screenshot under out/.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

scripts/bootstrap.sh
scripts/build.sh >/dev/null

had_display=
if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then had_display=1; fi

source scripts/wine-env.sh build
trap nimbra_cleanup EXIT
nimbra_display_start 1024x768
nimbra_prefix_init
nimbra_wineserver_start

saver=build/win32/bin/nimbra.scr
if [ -n "$had_display" ]; then
  wine "$saver" /c
  exit 0
fi

mkdir -p out
wine "$saver" /c >/dev/null 2>&1 &
pid=$!
sleep 3
shot=out/settings-dialog.png
/usr/bin/import -window root -crop 400x260+0+0 "$shot"
kill "$pid" 2>/dev/null || true
wineserver -k >/dev/null 2>&1 || true
NIMBRA_WINESERVER_STARTED=
echo "No display: the settings dialog ran under Xvfb. Screenshot: $root/$shot"
