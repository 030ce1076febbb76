# The emulated i686 PC of scripts/roots.sh, whose build and run it replaces where this kernel
# cannot run 32-bit programs: its disk is the bookworm-i386 root of the same recipe, unpacked here
# without running i386 code and installed by dpkg on the first boot; its initrd is busybox's.
[ "$name" = bookworm-i386 ] || die "this kernel cannot run 32-bit programs, and only bookworm-i386 is emulated"
jobs=build/vm32

# module NAME: NAME's module into the initrd and its load order, after those it depends on.
module() {
    local file dep
    case " $order " in *" $1 "*) return ;; esac
    file=$(find "$work/boot/lib/modules" -name "$1.ko" | grep .) || die "no module $1 in the kernel package"
    for dep in $(tr '\0' '\n' <"$file" | sed -n 's/^depends=//p' | tr , ' '); do module "$dep"; done
    cp "$file" "$work/initrd/modules/" && order+=" $1"
}

build() {
    local m order=""
    say "building the emulated 32-bit machine once, in $cache (about ten minutes, 2 GB)"
    # minbase and the recipe, /usr merged as debootstrap does (usrmerge would run emulated),
    # the packages kept for dpkg on the first boot, which then drops them and trims the disk.
    fetch "$work/rootfs" --variant=extract --include='?or(?essential,?priority(required))' \
        --include="apt,$packages" --hook-dir=/usr/share/mmdebstrap/hooks/merged-usr --skip=cleanup/apt/cache
    # Under emulation dpkg spends most of its time decompressing: the packages are stored
    # again uncompressed, natively here.
    find "$work/rootfs/var/cache/apt/archives" -name '*.deb' -print0 | xargs -0 -P 2 -n 8 sh -c 'for deb; do
        d=$(mktemp -d -p "${deb%/*}") && dpkg-deb -R "$deb" "$d" && dpkg-deb -b -Znone "$d" "$deb" >/dev/null &&
        rm -rf "$d" || exit 255; done' repack || die "could not store the i386 packages uncompressed"
    fetch "$work/boot" --variant=extract --include=linux-image-686,busybox-static
    mkdir -p "$work/initrd"/{bin,dev,newroot,modules}
    mv "$work"/boot/boot/vmlinuz-* "$work/vmlinuz"
    mv "$work/boot/bin/busybox" "$work/initrd/bin/"
    # The disk, ext4 (which asks for crc32c by name), and the share.
    for m in virtio_pci virtio_blk ext4 crc32c_generic 9pnet_virtio 9p; do module "$m"; done
    # The init mounts the disk, the share at /host and what a system mounts, runs the job
    # there and powers off; a failure leaves no result.
    install -m 755 /dev/stdin "$work/initrd/init" <<EOF
#!/bin/busybox sh
/bin/busybox --install -s /bin
mount -t devtmpfs dev /dev
for m in$order; do insmod /modules/\$m.ko || echo "init: no module \$m"; done
mount -t ext4 /dev/vda /newroot && cd /newroot && mount --move /dev dev && mount -t proc proc proc &&
    mount -t sysfs sys sys && mkdir -p host dev/pts dev/shm && mount -t devpts pts dev/pts &&
    mount -t tmpfs shm dev/shm && mount -t tmpfs tmp tmp &&
    mount -t 9p -o trans=virtio,version=9p2000.L,msize=262144,cache=loose host host && chroot . /bin/bash /host/$jobs/job
sync; poweroff -f
EOF
    (cd "$work/initrd" && find . | cpio -o -H newc --quiet | gzip -1) >"$work/initrd.img"
    mkfs.ext4 -q -L varek -d "$work/rootfs" "$work/disk.img" 6G >/dev/null || die "mkfs.ext4 could not make the disk image"
    rm -rf "$work/rootfs" "$work/boot" "$work/initrd"
    say "first boot: dpkg installs the packages and Wine makes its prefix, under emulation"
    boot "$work" cache=unsafe,discard=unmap 1200 sh -c "DEBIAN_FRONTEND=noninteractive dpkg \
--install --force-depends --force-unsafe-io /var/cache/apt/archives/*.deb && $mkprefix && rm /var/cache/apt/archives/*.deb &&
{ fstrim / || true; }" || die "the first boot failed; its console: $jobs/console.log"
}

# run CMD...: CMD in the machine, which writes into a throwaway overlay of its disk.
run() { boot "$cache" snapshot=on 2400 "$@"; }

# boot IMAGE DRIVE LIMIT CMD...: CMD as root, in this tree shared at its own path, on the machine
# booted from IMAGE's disk (DRIVE: its options) for at most LIMIT s; its output as it comes, its status.
boot() {
    local image=$1 drive=$2 limit=$3 qemu status rc=0 console=$jobs/console.log
    mkdir -p "$jobs" && rm -f "$jobs/status" && : >"$jobs/job.log"
    { printf 'mkdir -p %q && mount --bind /host %q && cd %q || exit\n' "$varek_root" "$varek_root" "$varek_root"
        printf 'export HOME=/root PATH=/usr/local/sbin:/usr/sbin:/sbin:%q' "$path" && printf ' %q' "${inside[@]}" && echo
        printf '%q ' "${@:4}" && echo ">>$jobs/job.log 2>&1; echo \$? >$jobs/status"; } >"$jobs/job"
    # Software emulation only: under a nested KVM (a cloud guest) the guest kernel faults on the
    # CPU features QEMU passes on. Wine's iret faults under SMAP and SMEP as QEMU emulates them.
    timeout --foreground "$limit" qemu-system-i386 -accel tcg,thread=multi -smp 2 -m 3072 \
        -cpu max,-smap,-smep -display none -monitor none -serial stdio -no-reboot -nic none \
        -drive "file=$image/disk.img,format=raw,if=virtio,$drive" \
        -kernel "$image/vmlinuz" -initrd "$image/initrd.img" -append "console=ttyS0 quiet panic=-1" \
        -virtfs "local,path=$varek_root,mount_tag=host,security_model=none" </dev/null >"$console" 2>&1 &
    qemu=$! && trap 'kill "$qemu" 2>/dev/null' EXIT
    tail -n +1 -f --pid="$qemu" "$jobs/job.log"
    wait "$qemu" || rc=$?
    trap - EXIT
    [ "$rc" -ne 124 ] || die "the machine did not finish in $limit s; its console: $console"
    status=$(cat "$jobs/status" 2>/dev/null) || die "the machine stopped without a result; its console: $console"
    return "$status"
}
