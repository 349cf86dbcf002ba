# Sourced by the run and test scripts and by each build's wine-run: the project's own Wine prefix, a
# display, a persistent wineserver.
# Usage: source scripts/wine-env.sh BUILD_DIR [i686|x64]
#   i686: the shipped programs, under 32-bit Wine (build/wineprefix; NIMBRA_WINEPREFIX to change it);
#   x64:  the 64-bit twin, under wine64 (build/wineprefix64).
# NIMBRA_I686_WHERE says where the i686 programs run: "here" when this machine executes 32-bit x86
# code, otherwise "pc" (scripts/emulated_pc.sh); inside the emulated PC it is "here".

NIMBRA_BUILD_DIR=$(mkdir -p "$1" && cd "$1" && pwd)
NIMBRA_ARCH=${2:-i686}
export LC_ALL=ja_JP.UTF-8
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
if [ "$NIMBRA_ARCH" = x64 ]; then
  export WINEPREFIX="$NIMBRA_BUILD_DIR/wineprefix64" WINEARCH=win64
  export WINELOADER=/usr/lib/wine/wine64 WINESERVER=/usr/lib/wine/wineserver64
else
  export WINEPREFIX="${NIMBRA_WINEPREFIX:-$NIMBRA_BUILD_DIR/wineprefix}" WINEARCH=win32
  export WINELOADER=/usr/lib/wine/wine WINESERVER=/usr/lib/wine/wineserver
fi
# /usr/bin/wine would take the 32-bit loader whenever wine32 is installed, whatever the prefix.
wine() { "$WINELOADER" "$@"; }
wineserver() { "$WINESERVER" "$@"; }
wineboot() { wine wineboot.exe "$@"; }
winepath() { wine winepath.exe "$@"; }
# Sourced again for the other build, the script keeps what it started.
NIMBRA_XVFB_PID=${NIMBRA_XVFB_PID:-}
NIMBRA_WINESERVER_STARTED=${NIMBRA_WINESERVER_STARTED:-}

# Whether this machine executes 32-bit x86 code: a 93-byte i386 program that only exits with 0.
nimbra_runs_i386() {
  local probe status=0
  probe=$(mktemp)
  printf '\177ELF\1\1\1\0\0\0\0\0\0\0\0\0\2\0\3\0\1\0\0\0\124\200\4\010\064\0\0\0\0\0\0\0\0\0\0\0\064\0\040\0\1\0\0\0\0\0\0\0' >"$probe"
  printf '\1\0\0\0\0\0\0\0\0\200\4\010\0\200\4\010\135\0\0\0\135\0\0\0\5\0\0\0\0\020\0\0' >>"$probe"
  printf '\270\1\0\0\0\061\333\315\200' >>"$probe"
  chmod +x "$probe"
  "$probe" 2>/dev/null || status=1
  rm -f "$probe"
  return $status
}
if [ -n "${NIMBRA_IN_PC:-}" ]; then
  export NIMBRA_I686_WHERE=here
elif [ -z "${NIMBRA_I686_WHERE:-}" ]; then
  if nimbra_runs_i386; then NIMBRA_I686_WHERE=here; else NIMBRA_I686_WHERE=pc; fi
  export NIMBRA_I686_WHERE
fi

# For a script that runs the shipped i686 programs: outside the emulated PC it installs what the build
# needs and builds the i686 tree first; then as nimbra_in_pc_if_needed below.
nimbra_built_i686() {
  if [ -z "${NIMBRA_IN_PC:-}" ]; then
    "$(dirname "${BASH_SOURCE[0]}")/bootstrap.sh"
    "$(dirname "${BASH_SOURCE[0]}")/build.sh" win32 >/dev/null
  fi
  nimbra_in_pc_if_needed "$@"
}

# Where the i686 programs cannot run here, runs the calling script (the arguments: its path and its
# own arguments) in the emulated PC instead, and exits with its status.
nimbra_in_pc_if_needed() {
  [ "$NIMBRA_I686_WHERE" = pc ] || return 0
  echo "This machine cannot execute 32-bit x86 code: $(basename "$1") runs in the emulated PC."
  "$(dirname "${BASH_SOURCE[0]}")/emulated_pc.sh" session "$@"
  exit $?
}

# Starts Xvfb when there is no display (or the one named does not answer). Screen size: $1, default 1024x768.
nimbra_display_start() {
  local size=${1:-1024x768}
  if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then return 0; fi
  local fdfile
  fdfile=$(mktemp)
  Xvfb -displayfd 3 -screen 0 "${size}x24" -nolisten tcp 3>"$fdfile" >/dev/null 2>&1 &
  NIMBRA_XVFB_PID=$!
  local i
  for i in $(seq 1 300); do
    [ -s "$fdfile" ] && break
    sleep 0.1
  done
  export DISPLAY=":$(head -n1 "$fdfile")"
  rm -f "$fdfile"
  xdpyinfo >/dev/null 2>&1 || { echo "could not start Xvfb" >&2; return 1; }
}

# Creates the prefix on first use: no window manager here, so windows are unmanaged (quick to destroy);
# Xvfb's modes at their real rate (wine64 reads them at 0 Hz through XRandR); and a program that
# crashes ends at once with its fault instead of waiting behind Wine's crash dialog. The marker file
# names the settings' version, so an older prefix gets them too.
nimbra_prefix_init() {
  local marker="$WINEPREFIX/.nimbra-prefix-3"
  [ -f "$marker" ] && return 0
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "creating Wine prefix $WINEPREFIX"
    mkdir -p "$WINEPREFIX"
    wineboot -i >/dev/null 2>&1
  fi
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v UseXRandR /d N /f >/dev/null 2>&1
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
    # In the emulated PC that server is its agent's: kept while the display is the agent's too.
    [ -n "${NIMBRA_IN_PC:-}" ] && [ "${DISPLAY:-}" = "${NIMBRA_AGENT_DISPLAY:-}" ] && return 0
    echo "stopping the wineserver already running for $WINEPREFIX"
    wineserver -k >/dev/null 2>&1 </dev/null || true
    wineserver -w >/dev/null 2>&1 </dev/null || true
    wineserver -p >/dev/null 2>&1 </dev/null
  fi
  NIMBRA_WINESERVER_STARTED="$NIMBRA_WINESERVER_STARTED $WINESERVER|$WINEPREFIX"
  wine cmd.exe /c exit >/dev/null 2>&1 </dev/null
}

nimbra_cleanup() {
  local started
  for started in $NIMBRA_WINESERVER_STARTED; do
    WINEPREFIX=${started#*|} "${started%%|*}" -k >/dev/null 2>&1 || true
  done
  NIMBRA_WINESERVER_STARTED=
  if [ -n "$NIMBRA_XVFB_PID" ]; then kill "$NIMBRA_XVFB_PID" 2>/dev/null || true; wait "$NIMBRA_XVFB_PID" 2>/dev/null || true; fi
}

# The whole session in one call: display (screen size $1), prefix, wineserver, and the cleanup on exit.
nimbra_session_start() {
  trap nimbra_cleanup EXIT
  nimbra_display_start "${1:-1024x768}"
  nimbra_prefix_init
  nimbra_wineserver_start
}
