#!/usr/bin/env bash
# Installs from Debian's packages what is missing:
#   scripts/bootstrap.sh run     what building and running the exe needs
#   scripts/bootstrap.sh [test]  that and what the tests need
# Idempotent: packages already present are not fetched again. Without root it uses
# sudo; with neither it names the packages to install and fails.
set -euo pipefail
. "$(dirname "$0")/lib.sh"

packages=("${VAREK_RUN_PACKAGES[@]}")
case "${1:-test}" in
    run) ;;
    test) packages+=("${VAREK_TEST_PACKAGES[@]}") ;;
    *) echo "usage: scripts/bootstrap.sh [run|test]" >&2; exit 2 ;;
esac

missing=()
for p in "${packages[@]}"; do
    dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=()
if [ "$(id -u)" -ne 0 ]; then
    if ! command -v sudo >/dev/null 2>&1; then
        echo "bootstrap: these packages are missing: ${missing[*]}" >&2
        echo "bootstrap: you are not root and there is no sudo; as root, run:" >&2
        grep -q i386 <<<"${missing[*]}" && echo "    dpkg --add-architecture i386" >&2
        echo "    apt-get update && apt-get install --no-install-recommends ${missing[*]}" >&2
        exit 1
    fi
    sudo=(sudo)
fi

echo "bootstrap: installing ${missing[*]}"
if ! dpkg --print-foreign-architectures | grep -qx i386; then
    "${sudo[@]}" dpkg --add-architecture i386
fi
"${sudo[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
