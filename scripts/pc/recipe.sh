#!/usr/bin/env bash
# The emulated PC's disk: a Debian 12 (amd64) root made from Debian's packages only, with 32-bit Wine,
# an X server and the Japanese locale, written into an ext4 image beside the kernel and initrd it
# boots with. Run by scripts/emulated_pc.sh when the disk is missing or this recipe changed.
# Usage: recipe.sh OUTPUT_DIR
set -euo pipefail
out=$1
here=$(cd "$(dirname "$0")" && pwd)
packages=(wine wine32:i386 xvfb xauth x11-utils fonts-ipafont-gothic imagemagick locales
          linux-image-amd64 kmod udev procps)

# The mirror and the other sources are this machine's own apt configuration.
mirror=$(apt-get indextargets --format '$(REPO_URI)' 'Created-By: Packages' 'Codename: bookworm' \
         'Label: Debian' | head -n1)
[ -n "$mirror" ] || { echo "emulated PC: this machine's apt sources have no Debian bookworm archive" >&2; exit 1; }

root="$out/root"
rm -rf "$root" "$out/disk.img" "$out/vmlinuz" "$out/initrd.img"
mkdir -p "$root"
echo "emulated PC: debootstrap from $mirror"
debootstrap --variant=minbase --arch=amd64 bookworm "$root" "$mirror" >"$out/debootstrap.log" 2>&1 ||
  { tail -n 20 "$out/debootstrap.log" >&2; echo "emulated PC: debootstrap failed" >&2; exit 1; }

mounted=()
unmount_all() { local m; for m in "${mounted[@]}"; do umount -l "$m" 2>/dev/null || true; done; }
trap unmount_all EXIT
for m in proc sys dev dev/pts; do
  mount --bind "/$m" "$root/$m"
  mounted=("$root/$m" "${mounted[@]}")
done

for label in Debian Debian-Security; do
  apt-get indextargets --format '$(REPO_URI) $(RELEASE) $(COMPONENT)' 'Created-By: Packages' "Label: $label"
done | sort -u | sed 's/^/deb /' >"$root/etc/apt/sources.list"
cat >"$root/etc/apt/apt.conf.d/90nimbra" <<'CONF'
Acquire::Check-Valid-Until "false";
APT::Install-Recommends "false";
CONF
apt-config dump 'Acquire::http::Proxy' 'Acquire::https::Proxy' | grep -i 'proxy "' >>"$root/etc/apt/apt.conf.d/90nimbra" || true

in_root() { chroot "$root" /usr/bin/env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin DEBIAN_FRONTEND=noninteractive "$@"; }
echo "emulated PC: installing ${packages[*]}"
{
  in_root dpkg --add-architecture i386
  in_root apt-get update
  in_root apt-get install -y "${packages[@]}"
  sed -i 's/^# *ja_JP.UTF-8 UTF-8/ja_JP.UTF-8 UTF-8/' "$root/etc/locale.gen"
  in_root locale-gen
  in_root apt-get clean
} >"$out/packages.log" 2>&1 || { tail -n 20 "$out/packages.log" >&2; echo "emulated PC: installing packages failed" >&2; exit 1; }
unmount_all
mounted=()

rm -rf "$root"/var/lib/apt/lists/* "$root"/usr/share/doc/* "$root"/usr/share/man/*
install -m 755 "$here/init" "$root/sbin/nimbra-init"
echo nimbra-pc >"$root/etc/hostname"
cp -L "$root/vmlinuz" "$out/vmlinuz"
cp -L "$root/initrd.img" "$out/initrd.img"
mkfs.ext4 -q -L nimbra-pc -d "$root" "$out/disk.img" 6G >/dev/null
rm -rf "$root"
