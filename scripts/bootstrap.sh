#!/usr/bin/env bash
# Installs from Debian's packages what is missing, by group (lib.sh lists them):
#   scripts/bootstrap.sh GROUP...            host, windows, wine, roots, vm; run: windows,
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
    for group in "$@"; do
        list="VAREK_${group^^}_PACKAGES[@]"
        for p in "${!list}"; do
            dpkg -s "$p" >/dev/null 2>&1 || echo "$p"
        done
    done | awk '!seen[$0]++'
}

[ "${1:-}" != --missing ] || { shift; missing "$@" | paste -sd ' ' -; exit 0; }
groups=()
for g in "${@:-test}"; do
    case $g in
        run) groups+=(windows wine); ! varek_runs_32bit || groups+=(wine32) ;;
        test) groups+=(host windows roots); varek_runs_32bit || groups+=(wine vm) ;;
        host | windows | wine | roots | vm) groups+=("$g") ;;
        *) echo "usage: scripts/bootstrap.sh GROUP... | --missing GROUP..." >&2; exit 2 ;;
    esac
done

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
added_i386=""
if [[ " ${groups[*]} " == *" wine32 "* ]] && ! dpkg --print-foreign-architectures | grep -qx i386; then
    "${sudo[@]}" dpkg --add-architecture i386
    added_i386=yes
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
fi
lack32=$(missing wine32 | paste -sd ' ' -)
if [[ " ${groups[*]} " == *" wine32 "* ]] && [ -n "$lack32" ]; then
    echo "bootstrap: note: 32-bit Wine could not be installed ($lack32); nothing else needs it"
    kept=()
    for g in "${groups[@]}"; do [ "$g" = wine32 ] || kept+=("$g"); done
    groups=("${kept[@]}")
    if [ -n "$added_i386" ]; then
        # Left behind, a broken i386 index would fail every later apt-get update here.
        "${sudo[@]}" dpkg --remove-architecture i386 &&
            echo "bootstrap: note: the i386 architecture added for it is removed again"
    fi
fi
mapfile -t needed < <(missing "${groups[@]}")
if [ ${#needed[@]} -gt 0 ]; then
    echo "bootstrap: FAILED: still missing: ${needed[*]}" >&2
    exit 1
fi
echo "bootstrap: done"
