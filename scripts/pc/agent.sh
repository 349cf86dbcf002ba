#!/usr/bin/env bash
# Runs inside the emulated PC, started by its init from the shared checkout. First boot (provision):
# creates the Wine prefix on the PC's own disk and ends. Every other boot (serve): starts Xvfb and a
# persistent wineserver, says "ready", then runs each command that scripts/emulated_pc.sh leaves in
# build/pc (NAME.req), each in a process group of its own, answering with NAME.out and NAME.rc; a
# NAME.kill ends that command's group; "stop" ends the agent, and the PC powers off.
set -u
cd "$(dirname "$0")/../.."
state=$PWD/build/pc
mount -t 9p -o trans=virtio,version=9p2000.L,msize=512000 state "$state" ||
  { echo "nimbra-pc: cannot mount the state folder at $state"; exit 1; }
trap 'cd /; umount "$state"' EXIT
mode=$(sed -n 's/.*nimbra\.mode=\([a-z]*\).*/\1/p' /proc/cmdline)
export HOME=/root NIMBRA_IN_PC=1 NIMBRA_WINEPREFIX=/var/lib/nimbra/wineprefix
source scripts/wine-env.sh build i686

nimbra_display_start 1024x768
export NIMBRA_AGENT_DISPLAY=$DISPLAY
nimbra_prefix_init
if [ "$mode" = provision ]; then
  nimbra_cleanup
  touch "$state/provisioned"
  exit 0
fi

nimbra_wineserver_start
touch "$state/ready"
while [ ! -e "$state/stop" ]; do
  for request in "$state"/*.req; do
    [ -e "$request" ] || continue
    job=${request%.req}
    mv "$request" "$job.run" 2>/dev/null || continue
    # The checkout is read through the page cache: forget it, so that this command sees the host's files.
    sync
    echo 3 >/proc/sys/vm/drop_caches
    (
      setsid -w bash -c 'echo $$ >"$1.pgid"; exec bash "$1.run"' _ "$job" >"$job.out" 2>&1 </dev/null
      echo $? >"$job.rc.tmp"
      mv "$job.rc.tmp" "$job.rc"
    ) &
  done
  for kill in "$state"/*.kill; do
    [ -e "$kill" ] || continue
    job=${kill%.kill}
    [ -s "$job.pgid" ] && kill -TERM -- "-$(cat "$job.pgid")" 2>/dev/null
    rm -f "$kill"
  done
  sleep 0.2
done
nimbra_cleanup
