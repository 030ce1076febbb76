#!/usr/bin/env bash
# Remakes docs/setup-dialog.png: the dialog as a first run shows it, under Wine in a
# throwaway session, with Wine's own DirectDraw.
#   scripts/screenshot.sh [OUTPUT.png]
set -euo pipefail
. "$(dirname "$0")/lib.sh"
out=$(realpath -m "${1:-$varek_root/docs/setup-dialog.png}")
cd "$varek_root"
varek_host_wine varek_setup wine_keeper
build=build/$varek_preset
mkdir -p "$(dirname "$out")"
scripts/wine-session.sh "$build/tests/e2e/wine_keeper.exe" bash -c '
    wine "$1" >/dev/null 2>&1 &
    window=$(timeout 20 xdotool search --sync --name "^Varek Setup$" | head -n 1)
    sleep 1  # let the dialog paint before it is captured
    import -window "$window" "$2"
    kill $!' shot "$build/Varek Setup.exe" "$out"
echo "screenshot: wrote $out"
