#!/bin/bash
# The emulated i686 PC's first process on a run (scripts/roots-vm.sh): mounts what a
# Linux system mounts, puts the shared source tree at the path it has outside, runs the
# job that build/vm32/job names there, leaves its status beside it and powers off.
mount -t proc proc /proc
mount -t sysfs sys /sys
mkdir -p /dev/pts /dev/shm
mount -t devpts pts /dev/pts
mount -t tmpfs shm /dev/shm
mount -t tmpfs tmp /tmp
# The job sets root (the tree's path outside) and the command as positional parameters.
. /host/build/vm32/job
mkdir -p "$root"
mount --bind /host "$root"
cd "$root" || exit
# Every Wine session copies this prefix, made when the image was built, instead of
# letting Wine make one, which takes minutes under emulation.
export HOME=/root PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin
export VAREK_WINE_PREFIX_TEMPLATE=/var/lib/varek/wineprefix
"$@" >>build/vm32/job.log 2>&1
echo $? >build/vm32/status
sync
echo o >/proc/sysrq-trigger
sleep 60
