#!/usr/bin/env bash
# The 32-bit guest: a small i386 Debian (the host's release) with 32-bit
# Wine and Xvfb, booted with qemu-system-i386 under full emulation, for
# hosts whose kernel cannot start 32-bit programs.
#   tools/guest32.sh build        makes the guest unless the cache holds it
#   tools/guest32.sh run JOB-DIR  boots it; runs JOB-DIR/job.sh as root under
#                                 Xvfb, JOB-DIR shared as /job; exit code of the job
# The guest is kept in ${TOLVANE_CACHE:-~/.cache/tolvane}/guest32-<recipe>,
# named by a hash of its recipe (what lies between the two "recipe" lines
# below): a changed recipe makes a new guest, and the old one goes.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
cache_root="${TOLVANE_CACHE:-$HOME/.cache/tolvane}"
recipe=$(sed -n '/^# --- recipe/,/^# --- end of recipe/p' "$here/guest32.sh" | sha256sum | cut -c1-16)
guest="$cache_root/guest32-$recipe"

# --- recipe

packages=(linux-image-686 busybox-static kmod procps wine wine32 fonts-wine xvfb xauth x11-utils
  libxrender1 libxrandr2 libxi6 libxcursor1 libxcomposite1 libxinerama1 libxfixes3
  libxxf86vm1 libgnutls30 libdbus-1-3)
# The modules the guest needs before its root disk is mounted (with what
# they need, found in modules.dep): the disk, its file system with the
# checksum its metadata uses, the job's share.
early_modules=(virtio_pci virtio_blk crc32c_generic ext4 9pnet_virtio 9p)

# The mirrors apt on this host uses.
mirrors() {
  sed -n 's/^URIs: *//p' /etc/apt/sources.list.d/*.sources 2>/dev/null | head -1
}

# i386 programs of the tree run through qemu-i386-static, registered in a
# binfmt_misc of a private user namespace: the host's own table is never
# touched (its Wine would then start 32-bit parts under user emulation).
build_tree() {  # TREE
  local tree=$1 mirror
  mirror=$(mirrors)
  mirror=${mirror:-http://deb.debian.org/debian}
  # The namespace maps the first 65536 ids to the host's own, as root may
  # write them (the packages' files belong to many users and groups).
  local gate
  gate=$(mktemp -u)
  mkfifo "$gate"
  unshare --user --mount --pid --fork --mount-proc bash -euo pipefail -c '
    read -r _ <"$0"
    mount -t binfmt_misc binfmt_misc /proc/sys/fs/binfmt_misc
    printf "%s" ":qemu-i386:M::\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00:\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff:/usr/bin/qemu-i386-static:F" \
      >/proc/sys/fs/binfmt_misc/register
    tree=$1 mirror=$2
    shift 2
    mmdebstrap --mode=root --arch=i386 --variant=minbase --include="$(IFS=,; echo "$*")" \
      --dpkgopt="path-exclude=/usr/share/man/*" --dpkgopt="path-exclude=/usr/share/doc/*" \
      --dpkgopt="path-exclude=/usr/share/locale/*" \
      --dpkgopt="path-exclude=/etc/kernel/postinst.d/initramfs-tools" \
      --dpkgopt=force-confdef --dpkgopt=force-confold \
      --essential-hook="mkdir -p \"\$1/etc/initramfs-tools\" && echo update_initramfs=no >\"\$1/etc/initramfs-tools/update-initramfs.conf\"" \
      bookworm "$tree" "deb $mirror bookworm main" "deb $mirror bookworm-updates main" \
      "deb ${mirror%/debian}/debian-security bookworm-security main"
  ' "$gate" "$tree" "$mirror" "${packages[@]}" &
  local pid=$!
  while [ "$(readlink /proc/$pid/ns/user)" = "$(readlink /proc/self/ns/user)" ]; do
    sleep 0.1
  done
  echo "0 0 65536" >/proc/$pid/uid_map
  echo "0 0 65536" >/proc/$pid/gid_map
  echo go >"$gate"
  rm -f "$gate"
  wait $pid
}

# A small initramfs made on the host: busybox, the early modules, an init
# that loads them, mounts the root disk and hands over to its /sbin/tolvane-init.
build_initramfs() {  # TREE OUTPUT
  local tree=$1 out=$2 work version
  work=$(mktemp -d)
  version=$(ls "$tree/lib/modules" | head -1)
  mkdir -p "$work"/{bin,dev,proc,sys,newroot,modules}
  cp "$tree/bin/busybox" "$work/bin/busybox"
  # Each module after those it needs, in the order they are loaded.
  python3 - "$tree/lib/modules/$version" "${early_modules[@]}" >"$work/modules/order" <<'PY'
import os, sys
base, wanted = sys.argv[1], sys.argv[2:]
needs = {}
for line in open(os.path.join(base, "modules.dep")):
    module, _, deps = line.partition(":")
    needs[module] = deps.split()
by_name = {os.path.basename(m).split(".ko")[0].replace("-", "_"): m for m in needs}
order = []
def visit(module):
    for dep in reversed(needs[module]):
        visit(dep)
    if module not in order:
        order.append(module)
for name in wanted:
    if name in by_name:  # else built in
        visit(by_name[name])
print("\n".join(order))
PY
  while read -r module; do
    cp "$tree/lib/modules/$version/$module" "$work/modules/"
  done <"$work/modules/order"
  sed -i 's|.*/||' "$work/modules/order"
  cat >"$work/init" <<EOF
#!/bin/busybox sh
/bin/busybox mount -t proc proc /proc
/bin/busybox mount -t devtmpfs dev /dev
while read -r module; do
  /bin/busybox insmod "/modules/\${module%.xz}"
done </modules/order
/bin/busybox mount -t ext4 /dev/vda /newroot || { echo "guest32: no root disk"; /bin/busybox poweroff -f; }
/bin/busybox umount /proc
/bin/busybox mount --move /dev /newroot/dev
exec /bin/busybox switch_root /newroot /sbin/tolvane-init
EOF
  chmod +x "$work/init"
  # busybox's insmod takes modules uncompressed only.
  for file in "$work"/modules/*.ko.xz; do
    [ -e "$file" ] && xz -d "$file"
  done
  (cd "$work" && find . | cpio -o -H newc --quiet | gzip -1) >"$out"
  rm -rf "$work"
}

# PID 1 of the guest: mounts what Wine needs and the job's share, runs the
# job under Xvfb, writes its exit code to the share and powers off.
write_init() {  # TREE
  cat >"$1/sbin/tolvane-init" <<'EOF'
#!/bin/sh
mount -t proc proc /proc
mount -t sysfs sys /sys
mount -t tmpfs tmp /tmp
mount -o remount,rw /
mkdir -p /dev/pts /dev/shm /job
mount -t devpts devpts /dev/pts
mount -t tmpfs shm /dev/shm
mount -t 9p -o trans=virtio,version=9p2000.L,msize=1048576 job /job
export HOME=/root PATH=/usr/local/bin:/usr/bin:/bin:/usr/sbin:/sbin
export WINEDEBUG=-all WINEDLLOVERRIDES="winedbg.exe=d;mscoree,mshtml="
Xvfb :9 -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
export DISPLAY=:9
for i in $(seq 100); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.2; done
code=0
sh /job/job.sh >/job/output.txt 2>&1 || code=$?
echo $code >/job/exit-code
sync
echo o >/proc/sysrq-trigger
sleep 60
EOF
  chmod +x "$1/sbin/tolvane-init"
}

# The default prefix, and one that reports Windows XP. Without a window
# manager (Xvfb) Wine draws the window frames itself, caption, system menu
# and close box included.
prefix_job() {
  cat <<'EOF'
for prefix in /root/.wine /root/.wine-xp; do
  export WINEPREFIX=$prefix
  wineboot -i || exit 1
  [ $prefix = /root/.wine ] || winecfg -v winxp || exit 1
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f || exit 1
  wineserver -w
done
EOF
}
# --- end of recipe

build() {
  [ -f "$guest/ready" ] && return 0
  mkdir -p "$cache_root"
  local tree="$guest.tree" started=$SECONDS
  rm -rf "$cache_root"/guest32-*  # other recipes' guests, a half-made one
  echo "guest32: building the guest in $guest (once; about 10 minutes)"
  build_tree "$tree"
  write_init "$tree"
  mkdir -p "$guest"
  cp "$tree"/boot/vmlinuz-* "$guest/vmlinuz"
  build_initramfs "$tree" "$guest/initrd.gz"
  # A Wine prefix made once, in the guest itself, and kept on its disk.
  rm -rf "${tree:?}/boot" "$tree/var/cache/apt/archives"/*.deb "$tree/var/lib/apt/lists"/*
  mkfs.ext4 -q -L root -d "$tree" "$guest/root.img" 8G
  rm -rf "$tree"
  local job
  job=$(mktemp -d)
  prefix_job >"$job/job.sh"
  run_guest "$job" persistent
  [ "$(cat "$job/exit-code" 2>/dev/null)" = 0 ] || { cat "$job/output.txt"; exit 1; }
  rm -rf "$job"
  touch "$guest/ready"
  echo "guest32: built in $((SECONDS - started)) s"
}

run_guest() {  # JOB-DIR [persistent]
  local job=$1 snapshot=on
  [ "${2:-}" = persistent ] && snapshot=off
  rm -f "$job/exit-code"
  timeout "${GUEST_TIMEOUT:-3600}" qemu-system-i386 -cpu qemu32 -m 2048 -smp 1 -nographic \
    -no-reboot -kernel "$guest/vmlinuz" -initrd "$guest/initrd.gz" \
    -append "console=ttyS0 quiet panic=-1" \
    -drive "file=$guest/root.img,format=raw,if=virtio,snapshot=$snapshot" \
    -virtfs "local,path=$job,mount_tag=job,security_model=none,id=job" \
    -nic none >"$job/console.txt" 2>&1 </dev/null || true
  [ -f "$job/exit-code" ] || { echo "guest32: the guest ended without an exit code"; tail -20 "$job/console.txt"; return 1; }
  return "$(cat "$job/exit-code")"
}

case "${1:-}" in
  build) build ;;
  run) build && run_guest "$2" ;;
  path) echo "$guest" ;;
  *) echo "usage: tools/guest32.sh build | run JOB-DIR | path" >&2; exit 2 ;;
esac
