#!/usr/bin/env bash
# Debian roots of our own, where the shipped 32-bit exe runs under the Wines users run:
# bookworm-i386 (Debian 12, 32-bit Wine 8.0), trixie-i386 (Debian 13, 32-bit Wine 10.0) and
# sid-amd64 (Debian unstable, Wine in its new WoW64 mode: no 32-bit Unix code at all).
#     scripts/roots.sh NAME -- CMD...   runs CMD in the root, in this tree, as this user
#     scripts/roots.sh NAME --build     only makes sure the root is built
# mmdebstrap builds each once, with the Wine prefix every session copies, in $VAREK_ROOTS_CACHE
# (default ~/.cache/varek-setup/roots), and bubblewrap enters it. Where this kernel cannot run
# 32-bit programs, scripts/roots-vm.sh builds and runs bookworm-i386 as an emulated i686 PC.
set -euo pipefail
. "$(dirname "$0")/lib.sh"
cd "$varek_root"

case "${1:-}:${2:-}" in
    bookworm-i386:--* | trixie-i386:--* | sid-amd64:--*) ;;
    *) echo "usage: scripts/roots.sh bookworm-i386|trixie-i386|sid-amd64 --build | -- CMD..." >&2; exit 2 ;;
esac
name=$1 suite=${1%-*} arch=${1##*-}
cache=${VAREK_ROOTS_CACHE:-${XDG_CACHE_HOME:-${HOME:-$(getent passwd "$(id -u)" | cut -d: -f6)}/.cache}/varek-setup/roots}/$name
packages=wine,wine32,fonts-wine,xvfb,xdotool,x11-utils,procps,cmake winearch=win32
# Unstable's Wine runs 32-bit programs only in a 64-bit prefix, and keeps its tools off PATH.
[ "$arch" = i386 ] || packages=${packages/wine32/wine64} winearch=win64
path=/usr/local/bin:/usr/bin:/bin:/usr/lib/x86_64-linux-gnu/wine
# Names the recipe: a root built by another one is built again.
recipe="$name minbase $packages r4"
prefix=/var/lib/varek/prefix
mkprefix="mkdir -p ${prefix%/*} && export WINEPREFIX=$prefix WINEARCH=$winearch WINEDEBUG=-all \
WINEDLLOVERRIDES=mscoree,mshtml,winemenubuilder.exe= && wineboot -i && wineserver -w"
# What a command inside learns: that 32-bit programs run there (it has no arch-test).
inside=(VAREK_RUNS_32BIT=yes)

say() { echo "roots: $*"; }
die() { echo "roots: FAILED: $*" >&2; exit 1; }

# fetch DIR OPTION...: the recipe with OPTIONs, mmdebstrap's tar of it unpacked into DIR by this
# user. mmdebstrap runs as this user given user namespaces (and a range in /etc/subuid), else
# through sudo; it works on disk, not in a /tmp in memory, and takes indexes past their expiry.
fetch() {
    local dir=$1 sudo=()
    mmdebstrap --unshare-helper true 2>/dev/null || sudo=(sudo)
    mkdir -p "$dir"
    "${sudo[@]}" env TMPDIR=/var/tmp mmdebstrap --mode=unshare --architectures="$arch" \
        --aptopt='Acquire::Check-Valid-Until "false"' "${@:2}" "$suite" - 2>>"$cache.log" |
        tar -x -C "$dir" --exclude='./dev/*' || die "mmdebstrap could not build $name (its log: $cache.log)"
}

build() {
    say "building $name once, in $cache (about two minutes, 2 to 3 GB)"
    fetch "$work/root" --variant=minbase --include="$packages" \
        --customize-hook="chroot \"\$1\" env -i HOME=/root PATH=$path sh -c '$mkprefix' >&2"
}

# run CMD...: CMD in the root through bubblewrap, as this user, with this tree and the cache at
# their own paths; its /tmp, /dev and network (X's abstract sockets) are its own. Where the
# kernel gives users no namespaces, bubblewrap runs through sudo and drops back to this user.
run() {
    local args=() entry bwrap=(bwrap) user=()
    if [ "$(id -u)" -ne 0 ] && ! bwrap --ro-bind / / true 2>/dev/null; then
        command -v sudo >/dev/null && sudo -v 2>/dev/null ||
            die "cannot enter $name: the kernel gives users no namespaces, and sudo is not allowed here"
        bwrap=(sudo bwrap) user=(setpriv --reuid="$(id -u)" --regid="$(id -g)" --clear-groups)
    fi
    for entry in "$cache"/root/*; do
        case ${entry##*/} in dev | proc | sys | tmp | run | root | home) continue ;; esac
        [ -L "$entry" ] && args+=(--symlink "$(readlink "$entry")") || args+=(--ro-bind "$entry")
        args+=("/${entry##*/}")
    done
    "${bwrap[@]}" "${args[@]}" --dev /dev --proc /proc --tmpfs /tmp --tmpfs /run \
        --bind "$varek_root" "$varek_root" --bind "${cache%/*}" "${cache%/*}" \
        --unshare-pid --unshare-net --die-with-parent --chdir "$varek_root" "${user[@]}" \
        /usr/bin/env -i HOME=/tmp PATH="$path" TERM=dumb "${inside[@]}" "$@"
}

varek_runs_32bit || { cache+=-vm; . scripts/roots-vm.sh; }
work=$cache.new
if [ "$(cat "$cache/recipe" 2>/dev/null)" != "$recipe" ]; then
    start=$SECONDS
    rm -rf "$work" "$cache.log"
    build
    echo "$recipe" >"$work/recipe"
    rm -rf "$cache" && mv "$work" "$cache"
    say "$name ready after $((SECONDS - start)) s: $cache, $(du -sh "$cache" | cut -f1) on disk"
fi
[ "$2" != -- ] || { shift 2; run "$@"; }
