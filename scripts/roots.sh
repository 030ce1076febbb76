#!/usr/bin/env bash
# Debian roots of our own, where the shipped 32-bit exe runs under the Wines users run,
# whatever this machine has installed:
#   bookworm-i386   Debian 12, 32-bit Wine 8.0
#   trixie-i386     Debian 13, 32-bit Wine 10.0
#   sid-amd64       Debian unstable, Wine in its new WoW64 mode: no 32-bit Unix code at all
#     scripts/roots.sh NAME -- CMD...   runs CMD in the root, in this tree, as this user
#     scripts/roots.sh NAME --build     only makes sure the root is built
# One recipe (debootstrap from Debian's main suite) builds a root once, in $VAREK_ROOTS_CACHE
# (default ~/.cache/varek-setup/roots); a run never changes it. Where this kernel runs 32-bit
# programs, bubblewrap enters it natively; where not, the same recipe's bookworm-i386 is the
# disk of an emulated i686 PC (scripts/roots-vm.sh). Nothing on this machine is set up for them.
set -euo pipefail
. "$(dirname "$0")/lib.sh"
cd "$varek_root"

name=${1:-}
suite=${name%-*}
arch=${name##*-}
case "$name:${2:-}" in
    bookworm-i386:--* | trixie-i386:--* | sid-amd64:--*) ;;
    *) echo "usage: scripts/roots.sh bookworm-i386|trixie-i386|sid-amd64 --build | -- CMD..." >&2; exit 2 ;;
esac
cache=${VAREK_ROOTS_CACHE:-${XDG_CACHE_HOME:-${HOME:-$(getent passwd "$(id -u)" | cut -d: -f6)}/.cache}/varek-setup/roots}/$name
mirror=${VAREK_DEBIAN_MIRROR:-http://deb.debian.org/debian}
packages=wine,wine32,fonts-wine,xvfb,xdotool,x11-utils,procps
[ "$arch" = i386 ] || packages=${packages/wine32/wine64}
# Names the recipe: a root built by another one is built again.
recipe="$name minbase $packages r3"
# Wine's tools live outside PATH in unstable's packages, whose Wine runs 32-bit programs
# only in a 64-bit prefix.
path=/usr/local/bin:/usr/bin:/bin:/usr/lib/x86_64-linux-gnu/wine
winearch=win32
[ "$arch" = i386 ] || winearch=win64
sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)
emulated=""
varek_runs_32bit || { emulated=yes; cache+=-vm; }

say() { echo "roots: $*"; }
die() { echo "roots: FAILED: $*" >&2; exit 1; }

# fetch DIR [--foreign]: the recipe. With --foreign only the first stage, which runs no
# code of the root's architecture.
fetch() {
    local dir=$1
    shift
    "${sudo[@]}" rm -rf "$dir"
    "${sudo[@]}" debootstrap "$@" --arch="$arch" --variant=minbase --include="$packages" \
        "$suite" "$dir" "$mirror" >"$cache.log" 2>&1 ||
        die "debootstrap could not build $name from $mirror (its log: $cache.log)"
}

# enter ROOT CMD...: CMD in the root through bubblewrap, as this user, with this tree and the
# cache at their own paths; its /tmp, /dev and network (X's abstract sockets) are its own.
# bubblewrap makes its namespaces as this user where the kernel allows it, else through
# sudo, and then drops back to this user inside.
enter() {
    local root=$1 args=() entry bwrap=(bwrap) user=()
    shift
    if [ "$(id -u)" -ne 0 ] && ! bwrap --ro-bind / / true 2>/dev/null; then
        command -v sudo >/dev/null && sudo -v 2>/dev/null ||
            die "cannot enter $name: the kernel gives users no namespaces, and sudo is not allowed here"
        bwrap=(sudo bwrap) user=(setpriv --reuid="$(id -u)" --regid="$(id -g)" --clear-groups)
    fi
    for entry in "$root"/*; do
        case ${entry##*/} in dev | proc | sys | tmp | run | root | home) continue ;; esac
        if [ -L "$entry" ]; then
            args+=(--symlink "$(readlink "$entry")" "/${entry##*/}")
        else
            args+=(--ro-bind "$entry" "/${entry##*/}")
        fi
    done
    "${bwrap[@]}" "${args[@]}" --dev /dev --proc /proc --tmpfs /tmp --tmpfs /run \
        --bind "$varek_root" "$varek_root" --bind "${cache%/*}" "${cache%/*}" \
        --unshare-pid --unshare-net --die-with-parent --chdir "$varek_root" \
        "${user[@]}" /usr/bin/env -i HOME=/tmp PATH="$path" TERM=dumb VAREK_ROOT="$name" "$@"
}

# A root entered natively: the tree, and a Wine prefix that every session copies.
build_native() {
    local start=$SECONDS
    say "building $name once, in $cache (one to two minutes, 2 to 3.5 GB)"
    fetch "$cache.new"
    rm -rf "$cache.prefix"
    enter "$cache.new" WINEPREFIX="$cache.prefix" WINEARCH="$winearch" WINEDEBUG=-all \
        WINEDLLOVERRIDES='mscoree,mshtml=' sh -c 'wineboot -i && wineserver -w' >>"$cache.log" 2>&1 ||
        die "Wine could not make its prefix in $name (its log: $cache.log)"
    "${sudo[@]}" rm -rf "$cache"
    mkdir -p "$cache"
    "${sudo[@]}" mv "$cache.new" "$cache/root"
    mv "$cache.prefix" "$cache/prefix"
    echo "$recipe" >"$cache/recipe"
    say "$name ready after $((SECONDS - start)) s: $cache, $(du -sh "$cache" 2>/dev/null | cut -f1) on disk"
}

mkdir -p "${cache%/*}"
[ -z "$emulated" ] || . scripts/roots-vm.sh
if [ "$(cat "$cache/recipe" 2>/dev/null)" = "$recipe" ]; then :
elif [ -z "$emulated" ]; then build_native
elif [ "$name" = bookworm-i386 ]; then build_image
else die "this kernel cannot run 32-bit programs, and only bookworm-i386 is emulated"
fi
[ "$2" = -- ] || exit 0
shift 2
if [ -n "$emulated" ]; then
    run 3600 "$@"
else
    enter "$cache/root" VAREK_WINE_PREFIX_TEMPLATE="$cache/prefix" "$@"
fi
