# Sourced by the run and test scripts: the project's own Wine prefix, a display, a persistent wineserver.
# Usage: source scripts/wine-env.sh BUILD_DIR

NIMBRA_BUILD_DIR=$(cd "$1" && pwd)
export WINEPREFIX="${NIMBRA_WINEPREFIX:-$NIMBRA_BUILD_DIR/wineprefix}"
export WINEARCH=win32
export LC_ALL=ja_JP.UTF-8
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
NIMBRA_XVFB_PID=
NIMBRA_WINESERVER_STARTED=

# Starts Xvfb when there is no display (or the one named does not answer). Screen size: $1, default 1024x768.
nimbra_display_start() {
  local size=${1:-1024x768}
  if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then return 0; fi
  local fdfile
  fdfile=$(mktemp)
  Xvfb -displayfd 3 -screen 0 "${size}x24" -nolisten tcp 3>"$fdfile" >/dev/null 2>&1 &
  NIMBRA_XVFB_PID=$!
  local i
  for i in $(seq 1 100); do
    [ -s "$fdfile" ] && break
    sleep 0.1
  done
  export DISPLAY=":$(head -n1 "$fdfile")"
  rm -f "$fdfile"
  xdpyinfo >/dev/null 2>&1 || { echo "could not start Xvfb" >&2; return 1; }
}

# Creates the prefix on first use: no window manager here, so windows are unmanaged (quick to destroy),
# and a program that crashes ends at once with its fault instead of waiting behind Wine's crash dialog.
# The marker file names the settings' version, so an older prefix gets them too.
nimbra_prefix_init() {
  local marker="$WINEPREFIX/.nimbra-prefix-2"
  [ -f "$marker" ] && return 0
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "creating Wine prefix $WINEPREFIX"
    mkdir -p "$WINEPREFIX"
    wineboot -i >/dev/null 2>&1
  fi
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
  wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
  wineserver -w
  touch "$marker"
}

# A persistent wineserver, and Wine's own services started once with no terminal or pipe attached:
# a service started by the first test would otherwise keep that test's output pipe open. A server that
# already runs for the prefix (a slideshow or benchmark started by hand) is stopped first: it may belong
# to another display, whose screen modes the tests would then see.
nimbra_wineserver_start() {
  if ! wineserver -p >/dev/null 2>&1 </dev/null; then
    echo "stopping the wineserver already running for $WINEPREFIX"
    wineserver -k >/dev/null 2>&1 </dev/null || true
    wineserver -w >/dev/null 2>&1 </dev/null || true
    wineserver -p >/dev/null 2>&1 </dev/null
  fi
  NIMBRA_WINESERVER_STARTED=1
  wine cmd.exe /c exit >/dev/null 2>&1 </dev/null
}

nimbra_cleanup() {
  if [ -n "$NIMBRA_WINESERVER_STARTED" ]; then wineserver -k >/dev/null 2>&1 || true; fi
  if [ -n "$NIMBRA_XVFB_PID" ]; then kill "$NIMBRA_XVFB_PID" 2>/dev/null || true; wait "$NIMBRA_XVFB_PID" 2>/dev/null || true; fi
}

# The whole session in one call: display (screen size $1), prefix, wineserver, and the cleanup on exit.
nimbra_session_start() {
  trap nimbra_cleanup EXIT
  nimbra_display_start "${1:-1024x768}"
  nimbra_prefix_init
  nimbra_wineserver_start
}
