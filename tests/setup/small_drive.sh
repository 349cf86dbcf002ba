#!/bin/sh
# Mounts (up) or removes (down) a 1 MB tmpfs and maps it as drive R: of the Wine prefix, for the
# installer's out-of-space test. Without the right to mount, "up" leaves no drive and the test skips.
action=$1 dir=$2 prefix=$3
link="$prefix/dosdevices/r:"
case "$action" in
up)
  mkdir -p "$dir"
  dir=$(cd "$dir" && pwd)
  mountpoint -q "$dir" || mount -t tmpfs -o size=1m tmpfs "$dir" 2>/dev/null || { echo "no tmpfs: skipped"; exit 0; }
  rm -f "$link"
  ln -s "$dir" "$link"
  ;;
down)
  rm -f "$link"
  if mountpoint -q "$dir"; then umount "$dir"; fi
  rmdir "$dir" 2>/dev/null
  ;;
esac
exit 0
