#!/usr/bin/env bash
# Installs from Debian's packages what is missing:
#   scripts/bootstrap.sh run     what building and running the exe needs
#   scripts/bootstrap.sh [test]  that and what the tests need
#   scripts/bootstrap.sh --missing GROUP...   only prints the missing packages of the groups
#                                (host, windows, wine, input, vm), one line; installs nothing
# Idempotent: packages already present are not fetched again. Without root it uses sudo;
# with neither it names the packages to install and fails. Each group is installed on its
# own, so a package that cannot be had (a broken index, a missing architecture) holds back
# only the stages that need it; a failed index update is a warning. It fails, naming them,
# when packages are still missing after one retry.
set -euo pipefail
. "$(dirname "$0")/lib.sh"

# i386 packages only where 32-bit programs run; the emulated machine only where they do not.
if varek_runs_32bit; then
    runs32=yes
    VAREK_WINE_PACKAGES+=("${VAREK_WINE32_PACKAGES[@]}")
else
    runs32=no
fi

# missing GROUP...: the packages of the groups that dpkg does not have installed.
missing() {
    local group p list
    for group in "$@"; do
        list="VAREK_${group^^}_PACKAGES[@]"
        for p in "${!list}"; do
            dpkg -s "$p" >/dev/null 2>&1 || echo "$p"
        done
    done | awk '!seen[$0]++'
}

case "${1:-test}" in
    --missing)
        shift
        missing "$@" | paste -sd ' ' -
        exit 0
        ;;
    run) groups=(windows wine) ;;
    test)
        groups=(host windows wine input)
        [ "$runs32" = yes ] || groups+=(vm)
        ;;
    *) echo "usage: scripts/bootstrap.sh [run|test] | --missing GROUP..." >&2; exit 2 ;;
esac

mapfile -t needed < <(missing "${groups[@]}")
[ ${#needed[@]} -eq 0 ] && exit 0

sudo=()
if [ "$(id -u)" -ne 0 ]; then
    if ! command -v sudo >/dev/null 2>&1; then
        echo "bootstrap: these packages are missing: ${needed[*]}" >&2
        echo "bootstrap: you are not root and there is no sudo; as root, run:" >&2
        grep -q i386 <<<"${needed[*]}" && echo "    dpkg --add-architecture i386" >&2
        echo "    apt-get update && apt-get install --no-install-recommends ${needed[*]}" >&2
        exit 1
    fi
    sudo=(sudo)
fi

echo "bootstrap: installing ${needed[*]}"
[ "$runs32" = yes ] || echo "bootstrap: this machine does not run 32-bit programs: no i386 packages"
if [ "$runs32" = yes ] && ! dpkg --print-foreign-architectures | grep -qx i386; then
    "${sudo[@]}" dpkg --add-architecture i386
fi

# update: a failure (a mirror in the middle of a sync, one architecture's index broken)
# leaves the lists that were fetched; the install goes on with them.
update() {
    local rc=0
    "${sudo[@]}" apt-get update -qq || rc=$?
    [ "$rc" -eq 0 ] || echo "bootstrap: warning: apt-get update failed (status $rc); installing from the package lists there are" >&2
}

# install: one apt-get install per group that lacks something.
install() {
    local group
    local -a lack
    for group in "${groups[@]}"; do
        mapfile -t lack < <(missing "$group")
        [ ${#lack[@]} -gt 0 ] || continue
        DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends \
            "${lack[@]}" >/dev/null || echo "bootstrap: warning: could not install the $group packages: ${lack[*]}" >&2
    done
}

update
install
mapfile -t needed < <(missing "${groups[@]}")
if [ ${#needed[@]} -gt 0 ]; then
    echo "bootstrap: trying once more for ${needed[*]}"
    update
    install
    mapfile -t needed < <(missing "${groups[@]}")
fi
if [ ${#needed[@]} -gt 0 ]; then
    echo "bootstrap: FAILED: still missing: ${needed[*]}" >&2
    exit 1
fi
echo "bootstrap: done"
