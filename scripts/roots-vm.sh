# The emulated i686 PC of scripts/roots.sh, sourced by it where this kernel cannot run
# 32-bit programs: its disk is the bookworm-i386 root of the same recipe, and its kernel and
# busybox come from the same index. Each boot writes into a throwaway overlay.
jobs=build/vm32
# What the first boot's initrd loads, in order: the disk, ext4, and the 9p share.
modules=(virtio virtio_ring virtio_pci_legacy_dev virtio_pci_modern_dev virtio_pci virtio_blk
    crc16 mbcache jbd2 crc32c_generic ext4 netfs fscache 9pnet 9pnet_virtio 9p)

# field PACKAGE FIELD: a field of a package in the i386 index that debootstrap fetched.
field() {
    awk -v p="$1" -v f="$2:" '$1 == "Package:" { here = $2 == p } here && $1 == f { $1 = ""; print substr($0, 2); exit }' \
        "$work"/rootfs/var/lib/apt/lists/*_dists_${suite}_main_binary-i386_Packages
}

build_image() {
    local start=$SECONDS deb version
    work="$cache.new"
    say "building the emulated 32-bit machine once: the $name root with 32-bit Wine, in $cache"
    say "(about 7 minutes on an idle machine, 1.7 GB; later runs boot it in seconds)"
    "${sudo[@]}" rm -rf "$work"
    mkdir -p "$work"
    fetch "$work/rootfs" --foreign
    say "system fetched after $((SECONDS - start)) s"
    # Under emulation dpkg spends most of its time decompressing: the packages are stored
    # again uncompressed, natively here, and dpkg is told not to wait for the disk.
    find "$work/rootfs/var/cache/apt/archives" -name '*.deb' -print0 |
        "${sudo[@]}" xargs -0 -P 2 -n 8 sh -c 'for deb; do
            d=$(mktemp -d) && dpkg-deb -R "$deb" "$d" && dpkg-deb -b -Znone "$d" "$deb" >/dev/null &&
            rm -rf "$d" || exit 255; done' repack || die "could not repack the i386 packages"
    echo force-unsafe-io | "${sudo[@]}" tee "$work/rootfs/etc/dpkg/dpkg.cfg.d/unsafe-io" >/dev/null
    say "packages stored uncompressed after $((SECONDS - start)) s"

    # The kernel and busybox, from the same index, unpacked here: the root does not install
    # the kernel, so no initramfs is made inside the emulation, which would take many minutes.
    kernel=$(field linux-image-686 Depends | sed 's/ .*//')
    [ -n "$kernel" ] || die "no linux-image-686 in the i386 index"
    for deb in "$kernel" busybox-static; do
        wget -q -O "$work/$deb.deb" "$mirror/$(field "$deb" Filename)" || die "could not fetch $deb"
        dpkg-deb -x "$work/$deb.deb" "$work/unpacked"
    done
    version=${kernel#linux-image-}
    cp "$work/unpacked/boot/vmlinuz-$version" "$work/vmlinuz"

    # A small initrd: busybox and the modules the root disk and the share need.
    local initrd=$work/initrd m
    mkdir -p "$initrd"/{bin,dev,proc,sys,newroot,modules}
    cp "$work/unpacked/bin/busybox" "$initrd/bin/"
    for m in "${modules[@]}"; do
        cp "$(find "$work/unpacked/lib/modules/$version" -name "$m.ko")" "$initrd/modules/" || die "no module $m"
    done
    cat >"$initrd/init" <<EOF
#!/bin/busybox sh
# Mounts the root disk and the share at /host, then runs /host/scripts/vm32-guest.sh
# (with bash, which reads the job's quoting).
/bin/busybox --install -s /bin
mount -t proc proc /proc
mount -t devtmpfs dev /dev
for m in ${modules[*]}; do insmod /modules/\$m.ko || echo "init: no module \$m"; done
for i in \$(seq 1 100); do [ -b /dev/vda ] && break; sleep 0.1; done
mount -t ext4 /dev/vda /newroot || { echo "init: no root disk"; poweroff -f; }
mkdir -p /newroot/host
mount -t 9p -o trans=virtio,version=9p2000.L,msize=262144,cache=loose host /newroot/host ||
    { echo "init: no share"; poweroff -f; }
umount /proc
mount --move /dev /newroot/dev
exec switch_root /newroot /bin/bash /host/scripts/vm32-guest.sh
EOF
    chmod +x "$initrd/init"
    (cd "$initrd" && find . | cpio -o -H newc --quiet | gzip -1) >"$work/initrd.img"

    "${sudo[@]}" rm -f "$work/rootfs/proc"
    "${sudo[@]}" mkdir -p "$work/rootfs/proc"
    "${sudo[@]}" mkfs.ext4 -q -F -L varek -d "$work/rootfs" "$work/disk.img" 6G >/dev/null ||
        die "mkfs.ext4 could not make the disk image"
    "${sudo[@]}" rm -rf "$work/rootfs" "$work/unpacked" "$work"/*.deb "$initrd"
    [ ${#sudo[@]} -eq 0 ] || sudo chown "$(id -u):$(id -g)" "$work/disk.img"
    # The first boot finishes the system and makes the Wine prefix that every session copies
    # (wineboot takes minutes under emulation); the packages then leave apt's cache.
    say "first boot: the second stage of debootstrap and a Wine prefix, under emulation"
    VAREK_VM32_WRITE=1 image=$work run 1800 sh -c '/debootstrap/debootstrap --second-stage &&
        { mountpoint -q /proc || mount -t proc proc /proc; } && mkdir -p /var/lib/varek &&
        WINEPREFIX=$VAREK_WINE_PREFIX_TEMPLATE WINEDEBUG=-all WINEDLLOVERRIDES=mscoree,mshtml= wineboot -i &&
        wineserver -w && rm -f /var/cache/apt/archives/*.deb && { fstrim / || true; }' ||
        die "the first boot failed: see $jobs/job.log"
    rm -rf "$cache"
    mv "$work" "$cache"
    echo "$recipe" >"$cache/recipe"
    say "image ready after $((SECONDS - start)) s: $cache, $(du -sh "$cache" | cut -f1) on disk"
}

# run LIMIT CMD...: boots the machine with this tree shared at its own path, where
# scripts/vm32-guest.sh runs CMD as build/vm32/job says, and waits at most LIMIT seconds
# for it to power off. The disk is the image, behind a throwaway overlay unless
# VAREK_VM32_WRITE is set. Returns CMD's status.
run() {
    local limit=$1 qemu status waited=0 start=$SECONDS
    shift
    image=${image:-$cache}
    console=$jobs/console.log
    mkdir -p "$jobs"
    rm -f "$jobs/status" "$console"
    { echo "root='$varek_root'"; printf 'set --'; printf ' %q' "$@"; echo; } >"$jobs/job"
    : >"$jobs/job.log"
    # The job's output as it comes; the reader ends with this script, however it ends.
    tail -n +1 -f --pid=$$ "$jobs/job.log" &
    local tail=$! disk="file=$image/disk.img,format=raw,if=virtio,snapshot=on"
    # The first boot writes the image, which is thrown away if it fails: no need to flush.
    # Blocks it frees (the packages, once installed) are given back to the sparse image.
    [ -z "${VAREK_VM32_WRITE:-}" ] || disk="file=$image/disk.img,format=raw,if=virtio,cache=unsafe,discard=unmap"
    # Software emulation only: under a nested KVM (a cloud guest) the guest kernel faults on
    # the CPU features QEMU passes on. Wine's iret faults under SMAP and SMEP as QEMU
    # emulates them: both off.
    qemu-system-i386 -accel tcg,thread=multi -smp 2 -m 3072 -cpu max,-smap,-smep \
        -display none -monitor none -serial stdio -no-reboot -nic none -drive "$disk" \
        -kernel "$image/vmlinuz" -initrd "$image/initrd.img" \
        -append "console=ttyS0 quiet panic=-1" \
        -virtfs "local,path=$varek_root,mount_tag=host,security_model=none" </dev/null >>"$console" 2>&1 &
    qemu=$!
    trap 'kill "$qemu" 2>/dev/null || true' EXIT
    while kill -0 "$qemu" 2>/dev/null; do
        if [ "$waited" -ge "$limit" ]; then
            kill "$qemu" 2>/dev/null || true
            die "the machine did not finish in $limit s; its console: $console"
        fi
        sleep 1
        waited=$((waited + 1))
    done
    wait "$qemu" || die "QEMU ended with status $?; its console: $console"
    trap - EXIT
    kill "$tail" 2>/dev/null || true
    status=$(cat "$jobs/status" 2>/dev/null) || die "the machine stopped without a result; its console: $console"
    say "the machine ran for $((SECONDS - start)) s"
    return "$status"
}
