#!/usr/bin/env bash
# The emulated PC: a whole x86-64 PC in QEMU (software emulation) whose Debian runs 32-bit Wine, for
# machines that cannot execute 32-bit x86 code themselves. It shares this checkout at the same path,
# so the i686 build's programs and tests run there unchanged, and their output and exit codes come
# back here. Its disk is made from Debian's packages (scripts/pc/recipe.sh) into the cache folder
# ${NIMBRA_PC_DIR:-~/.cache/nimbra-pc} and made again only when the recipe changes; every boot starts
# from that disk as made (changes go to a scratch overlay).
#
#   emulated_pc.sh make            make the disk if it is missing or out of date
#   emulated_pc.sh start           make, boot, and wait until the PC serves commands
#   emulated_pc.sh run CMD [ARG]   run one command in the running PC, in the current folder, with the
#                                  NIMBRA_*, GTEST_* and WINE* variables; its output and exit code
#   emulated_pc.sh stop            power it off
#   emulated_pc.sh session CMD     start, run CMD, stop
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
pc_dir=${NIMBRA_PC_DIR:-${XDG_CACHE_HOME:-$HOME/.cache}/nimbra-pc}
state="$root/build/pc"
boot_seconds=${NIMBRA_PC_BOOT_SECONDS:-300}
# The checkout is read through the guest's page cache: Wine reads a program's sections with single
# reads, which 9p without a cache cuts at its message size (512000 bytes here), leaving the rest of a
# larger section zero. The guest drops that cache before each command it runs, so that it reads what
# the host wrote meanwhile; its own writes there reach the host when it powers off. The state folder,
# where requests and answers pass while both sides run, is a second share without a cache.
share_options=,msize=512000,cache=loose

say() { echo "emulated PC: $*" >&2; }
fail() { say "$*"; exit 1; }

recipe_id() { cat "$root/scripts/pc/recipe.sh" "$root/scripts/pc/init" | sha256sum | cut -c1-16; }

qemu_pid() { [ -f "$state/qemu.pid" ] && cat "$state/qemu.pid"; }
qemu_alive() { local pid; pid=$(qemu_pid 2>/dev/null) && [ -n "$pid" ] && kill -0 "$pid" 2>/dev/null; }

# Boots the disk in $1 with the checkout shared; $2 is the guest's mode (serve or provision), $3 extra
# QEMU options. Returns at once: QEMU runs in the background.
boot() {
  local disk_dir=$1 mode=$2
  shift 2
  command -v qemu-system-x86_64 >/dev/null || fail "qemu-system-x86_64 is not installed (scripts/bootstrap.sh)"
  rm -rf "$state"
  mkdir -p "$state"
  qemu-system-x86_64 -machine q35 -accel tcg,thread=multi -cpu max,smap=off -m 4G -smp 2 \
    -display none -monitor none -serial "file:$state/console.log" -no-reboot -nic none \
    -kernel "$disk_dir/vmlinuz" -initrd "$disk_dir/initrd.img" \
    -append "root=/dev/vda ro console=ttyS0 quiet panic=5 init=/sbin/nimbra-init nimbra.share=$root nimbra.run=scripts/pc/agent.sh nimbra.mode=$mode nimbra.9p=$share_options" \
    -drive "file=$disk_dir/disk.img,if=virtio,format=raw,cache=unsafe" \
    -virtfs "local,path=$root,mount_tag=project,security_model=none,id=project" \
    -virtfs "local,path=$state,mount_tag=state,security_model=none,id=state" \
    -daemonize -pidfile "$state/qemu.pid" "$@"
}

# Waits until the guest writes $1 into the state folder, QEMU ends, or the boot time runs out.
await() {
  local file=$1 what=$2 waited=0
  while [ ! -e "$state/$file" ]; do
    if ! qemu_alive; then
      tail -n 30 "$state/console.log" >&2 2>/dev/null || true
      fail "the PC stopped before $what"
    fi
    if [ "$waited" -ge $((boot_seconds * 5)) ]; then
      tail -n 30 "$state/console.log" >&2 2>/dev/null || true
      kill "$(qemu_pid)" 2>/dev/null || true
      fail "the PC did not $what within $boot_seconds s"
    fi
    sleep 0.2
    waited=$((waited + 1))
  done
}

await_exit() {
  local i
  for i in $(seq 1 $(($1 * 5))); do qemu_alive || return 0; sleep 0.2; done
  kill "$(qemu_pid)" 2>/dev/null || true
  return 1
}

make_pc() {
  local id
  id=$(recipe_id)
  [ -f "$pc_dir/disk.img" ] && [ "$(cat "$pc_dir/recipe" 2>/dev/null)" = "$id" ] && return 0
  command -v debootstrap >/dev/null || fail "debootstrap is not installed (scripts/bootstrap.sh)"
  mkdir -p "$pc_dir"
  local free
  free=$(df --output=avail -BM "$pc_dir" | tail -n1 | tr -dc 0-9)
  [ "$free" -ge 8000 ] || fail "making the disk needs 8000 MB free in $pc_dir; $free MB are"
  say "making the disk in $pc_dir (about 10 minutes)"
  local started=$SECONDS new="$pc_dir/new"
  rm -rf "$new" "$pc_dir/recipe"
  mkdir -p "$new"
  "$root/scripts/pc/recipe.sh" "$new"
  say "first boot: creating the Wine prefix"
  boot "$new" provision
  await provisioned "create its Wine prefix"
  await_exit 60 || fail "the PC did not power off after its first boot"
  mv -f "$new"/vmlinuz "$new"/initrd.img "$new"/disk.img "$pc_dir/"
  rm -rf "$new"
  echo "$id" >"$pc_dir/recipe"
  say "disk made in $((SECONDS - started)) s: $(du -sh --apparent-size "$pc_dir/disk.img" | cut -f1) image, $(du -sh "$pc_dir/disk.img" | cut -f1) used"
}

# A PC left running is stopped first: what its page cache holds of the checkout may be out of date.
start_pc() {
  make_pc
  stop_pc
  local started=$SECONDS
  boot "$pc_dir" serve -snapshot
  await ready "come up"
  say "up in $((SECONDS - started)) s (QEMU, software emulation; its Wine runs the i686 programs)"
}

stop_pc() {
  qemu_alive || return 0
  touch "$state/stop"
  await_exit 60 || say "the PC did not power off in 60 s; stopped it"
}

# One command in the PC: a script in the state folder that the guest's agent picks up, runs in its own
# process group, and answers with the output and exit code. A stopped wait (ctest's time limit) asks
# the guest to end the command too.
run_in_pc() {
  qemu_alive && [ -e "$state/ready" ] || fail "the PC is not running (emulated_pc.sh start)"
  local id="$$-$RANDOM" name
  {
    printf 'cd %q || exit 125\n' "$PWD"
    while IFS= read -r name; do printf 'export %s=%q\n' "$name" "${!name}"; done \
      < <(compgen -e | grep -E '^(NIMBRA_|GTEST_|WINEDEBUG$|WINEDLLOVERRIDES$|LONG_RUN_)' | grep -vE '^NIMBRA_(PC_|IN_PC$|I686_WHERE$|WINEPREFIX$)')
    printf 'exec'
    printf ' %q' "$@"
    printf '\n'
  } >"$state/$id.tmp"
  mv "$state/$id.tmp" "$state/$id.req"
  trap 'touch "$state/$id.kill"; exit 143' TERM INT
  local shown=0 size done=
  while :; do
    [ -e "$state/$id.rc" ] && done=1
    size=$(stat -c %s "$state/$id.out" 2>/dev/null || echo 0)
    if [ "$size" -gt "$shown" ]; then
      tail -c +$((shown + 1)) "$state/$id.out" | head -c $((size - shown))
      shown=$size
    fi
    [ -n "$done" ] && break
    qemu_alive || fail "the PC stopped while running $*"
    sleep 0.1
  done
  local rc
  rc=$(cat "$state/$id.rc")
  rm -f "$state/$id".*
  return "$rc"
}

case "${1:-}" in
  make) make_pc ;;
  start) start_pc ;;
  stop) stop_pc ;;
  run) shift; run_in_pc "$@" ;;
  session)
    shift
    start_pc
    trap stop_pc EXIT
    run_in_pc "$@"
    ;;
  *) sed -n '2,/^set -e/p' "$0" | sed '$d; s/^# \{0,1\}//'; exit 2 ;;
esac
