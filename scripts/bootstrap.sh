#!/usr/bin/env bash
# Installs from Debian's packages what is missing, by group (lib.sh lists them):
#   scripts/bootstrap.sh GROUP...            host, windows, wine, roots, vm, probe; run: windows,
#                                            wine and the optional wine32; test: test.sh's
#   scripts/bootstrap.sh --missing GROUP...  only prints the missing packages, one line
# Without root it uses sudo, with neither it names the packages and fails. One apt-get
# install per group, so a package that cannot be had holds back only its group; a failed
# update is a warning; what is still missing after one retry is named and fails it. wine32
# is optional: asked for only where 32-bit programs run; when it cannot be installed, the
# i386 architecture added for it is removed again.
set -euo pipefail
. "$(dirname "$0")/lib.sh"

# missing GROUP...: the packages of the groups that dpkg does not have installed.
missing() {
    local group p list
    for group in $*; do  # split: a group taken out is left empty
        list="VAREK_${group^^}_PACKAGES[@]"
        for p in "${!list}"; do dpkg -s "$p" >/dev/null 2>&1 || echo "$p"; done
    done | awk '!seen[$0]++'
}

[ "${1:-}" != --missing ] || { shift; missing "$@" | paste -sd ' ' -; exit 0; }
groups=()
for g in "${@:-test}"; do
    case $g in
        run) groups+=(windows wine); ! varek_runs_32bit || groups+=(wine32) ;;
        test) groups+=(host windows roots); varek_runs_32bit || groups+=(wine vm) ;;
        host | windows | wine | roots | vm | probe) groups+=("$g") ;;
        *) echo "usage: scripts/bootstrap.sh GROUP... | --missing GROUP..." >&2; exit 2 ;;
    esac
done
needed=$(missing "${groups[@]}" | paste -sd ' ' -)
[ -n "$needed" ] || exit 0

sudo=()
if [ "$(id -u)" -ne 0 ]; then
    if ! command -v sudo >/dev/null 2>&1; then
        echo "bootstrap: these packages are missing: $needed" >&2
        echo "bootstrap: you are not root and there is no sudo; as root, run:" >&2
        [[ $needed != *i386* ]] || echo "    dpkg --add-architecture i386" >&2
        echo "    apt-get update && apt-get install --no-install-recommends $needed" >&2
        exit 1
    fi
    sudo=(sudo)
fi

echo "bootstrap: installing $needed"
added_i386=""
if [[ " ${groups[*]} " == *" wine32 "* ]] && ! dpkg --print-foreign-architectures | grep -qx i386; then
    "${sudo[@]}" dpkg --add-architecture i386
    added_i386=yes
fi
# A failed update (a mirror in the middle of a sync, one architecture's index broken) leaves
# the lists that were fetched, and the install goes on with them; one install per group.
for try in 1 2; do
    [ "$try" = 1 ] || echo "bootstrap: trying once more for $(missing "${groups[@]}" | paste -sd ' ' -)"
    rc=0
    "${sudo[@]}" apt-get update -qq || rc=$?
    [ "$rc" -eq 0 ] || echo "bootstrap: warning: apt-get update failed (status $rc); installing from the package lists there are" >&2
    for group in "${groups[@]}"; do
        lack=$(missing "$group" | paste -sd ' ' -)
        [ -n "$lack" ] || continue
        # shellcheck disable=SC2086
        DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends $lack >/dev/null ||
            echo "bootstrap: warning: could not install the $group packages: $lack" >&2
    done
    [ -n "$(missing "${groups[@]}")" ] || break
done
lack32=$(missing wine32 | paste -sd ' ' -)
if [[ " ${groups[*]} " == *" wine32 "* ]] && [ -n "$lack32" ]; then
    echo "bootstrap: note: 32-bit Wine could not be installed ($lack32); nothing else needs it"
    groups=("${groups[@]/wine32/}")
    # Left behind, a broken i386 index would fail every later apt-get update here.
    [ -z "$added_i386" ] || ! "${sudo[@]}" dpkg --remove-architecture i386 ||
        echo "bootstrap: note: the i386 architecture added for it is removed again"
fi
needed=$(missing "${groups[@]}" | paste -sd ' ' -)
[ -z "$needed" ] || { echo "bootstrap: FAILED: still missing: $needed" >&2; exit 1; }
echo "bootstrap: done"
