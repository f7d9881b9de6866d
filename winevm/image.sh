#!/usr/bin/env bash
# Builds the x86-64 Debian 12 machine that runs 32-bit Wine on hosts whose
# kernel executes no IA-32 code. Everything comes from Debian's archive; the
# result is cached in OUT_DIR and rebuilt only when this folder changes.
#   image.sh OUT_DIR
#   image.sh --state OUT_DIR   prints "ready", "out of date" or "not built"
#                              (exit status 0 for ready only); builds nothing
# OUT_DIR receives vmlinuz, initrd.img, root.img (ext4, raw) and image.stamp.
set -euo pipefail
HERE="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
STATE_ONLY=0
if [ "${1:-}" = --state ]; then STATE_ONLY=1; shift; fi
OUT="${1:?output folder}"
MIRROR="${ZEL_VM_MIRROR:-http://deb.debian.org/debian}"
SECURITY_MIRROR="${ZEL_VM_SECURITY_MIRROR:-http://deb.debian.org/debian-security}"

# What the guest runs: its kernel, Wine and its display, CTest for the test
# tree, the cross objdump for the module's import check.
GUEST_PACKAGES=(linux-image-amd64 wine wine32:i386 xvfb xauth cmake binutils-mingw-w64-i686 procps locales)
# Wine takes its ANSI code page from the Unix locale, which must exist: the
# double-byte path tests run under Japanese (code page 932).
GUEST_LOCALES=("en_US.UTF-8 UTF-8" "ja_JP.UTF-8 UTF-8")

# A stamp over this folder: a change to the image recipe, to its package
# installer or to the guest's init program makes the next run build the
# image again.
stamp() { cat "$HERE"/image.sh "$HERE"/apt-install.sh "$HERE"/guest-init.sh | sha256sum | cut -c1-16; }

state() {
  if [ ! -f "$OUT/image.stamp" ] || [ ! -f "$OUT/root.img" ] || [ ! -f "$OUT/vmlinuz" ] || [ ! -f "$OUT/initrd.img" ]; then
    echo "not built"
  elif [ "$(cat "$OUT/image.stamp")" != "$(stamp)" ]; then
    echo "out of date"
  else
    echo "ready"
  fi
}
if [ "$STATE_ONLY" = 1 ]; then
  state
  [ "$(state)" = ready ]
  exit
fi
[ "$(state)" != ready ] || exit 0
[ "$(id -u)" = 0 ] || { echo "winevm: building the VM image needs root (debootstrap, chroot)" >&2; exit 1; }

say() { printf '== winevm: %s\n' "$*"; }
ROOTFS="$OUT/rootfs"
# Only /proc is mounted into the root (apt's scripts read it); the root's
# own /dev holds the device nodes debootstrap made.
unmount_proc() { if mountpoint -q "$ROOTFS/proc" 2>/dev/null; then umount "$ROOTFS/proc"; fi; }
trap unmount_proc EXIT
unmount_proc
rm -rf "$OUT" && mkdir -p "$OUT"

say "debootstrap bookworm (minbase) into $ROOTFS"
debootstrap --variant=minbase --include=initramfs-tools,kmod \
  bookworm "$ROOTFS" "$MIRROR" >"$OUT/debootstrap.log" 2>&1 \
  || { tail -20 "$OUT/debootstrap.log" >&2; exit 1; }

# The initramfs only has to find a virtio disk with ext4 on it: a short list
# of modules makes it quick to build and to unpack under emulation.
printf 'MODULES=list\nCOMPRESS=gzip\n' >"$ROOTFS/etc/initramfs-tools/conf.d/zel-winevm"
printf '%s\n' virtio_pci virtio_blk ext4 >>"$ROOTFS/etc/initramfs-tools/modules"

cat >"$ROOTFS/etc/apt/sources.list" <<EOF
deb $MIRROR bookworm main
deb $MIRROR bookworm-updates main
deb $SECURITY_MIRROR bookworm-security main
EOF
mount -t proc proc "$ROOTFS/proc"
in_root() { chroot "$ROOTFS" env DEBIAN_FRONTEND=noninteractive LC_ALL=C "$@"; }

say "installing ${GUEST_PACKAGES[*]}"
in_root dpkg --add-architecture i386
# Through a mirror that may be in mid-sync, as on the host.
install -m 0755 "$HERE/apt-install.sh" "$ROOTFS/tmp/apt-install.sh"
in_root /tmp/apt-install.sh --no-install-recommends "${GUEST_PACKAGES[@]}"
rm -f "$ROOTFS/tmp/apt-install.sh"
printf '%s\n' "${GUEST_LOCALES[@]}" >"$ROOTFS/etc/locale.gen"
in_root locale-gen >"$OUT/locale.log" 2>&1
in_root apt-get clean
unmount_proc

# The machine boots straight into guest-init.sh: no init system, no login.
install -m 0755 "$HERE/guest-init.sh" "$ROOTFS/sbin/zel-init"
echo zel-winevm >"$ROOTFS/etc/hostname"
cp "$ROOTFS"/boot/vmlinuz-* "$OUT/vmlinuz"
cp "$ROOTFS"/boot/initrd.img-* "$OUT/initrd.img"
chmod 0644 "$OUT/vmlinuz" "$OUT/initrd.img"
rm -rf "$ROOTFS"/usr/share/doc/* "$ROOTFS"/usr/share/man/* "$ROOTFS"/var/cache/apt/*.bin "$ROOTFS"/var/lib/apt/lists/*

say "making root.img"
size_mb=$(( $(du -sm "$ROOTFS" | cut -f1) + 6144 ))
truncate -s "${size_mb}M" "$OUT/root.img"
mkfs.ext4 -q -F -L zelroot -d "$ROOTFS" "$OUT/root.img"
! mountpoint -q "$ROOTFS/proc" && rm -rf "$ROOTFS"

# The Wine prefix takes most of a minute to create under emulation: make it
# once, in the image, and let every run start from a copy.
say "first boot: creating the Wine prefix template"
(cd / && "$HERE/run-in-vm.sh" --image "$OUT" --persist -- \
  bash -c 'export WINEPREFIX=/var/lib/zel/wineprefix-template WINEARCH=win32 WINEDEBUG=-all \
             WINEDLLOVERRIDES="mscoree,mshtml=" HOME=/root
           mkdir -p "$WINEPREFIX" && wineboot --init && wineserver -w && test -f "$WINEPREFIX/system.reg"')

stamp >"$OUT/image.stamp"
say "image ready in $OUT ($(du -sh --apparent-size "$OUT/root.img" | cut -f1) apparent, $(du -sh "$OUT/root.img" | cut -f1) used)"
