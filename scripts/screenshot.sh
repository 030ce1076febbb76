#!/usr/bin/env bash
# Remakes docs/setup-dialog.png: the dialog as a first run shows it, under Wine on a
# throwaway Xvfb display and prefix, with Wine's own DirectDraw.
#   scripts/screenshot.sh [OUTPUT.png]
set -euo pipefail
. "$(dirname "$0")/lib.sh"
out=$(realpath -m "${1:-$varek_root/docs/setup-dialog.png}")
cd "$varek_root"

if [ "${VAREK_IN_SESSION:-}" != 1 ]; then
    varek_bootstrap run
    varek_wine_flavour
    varek_build "$VAREK_WINE_PRESET" varek_setup
    VAREK_IN_SESSION=1 exec scripts/wine-session.sh "$0" "$out"
fi

wine "build/$VAREK_WINE_PRESET/Varek Setup.exe" >/dev/null 2>&1 &
pid=$!
window=""
for _ in $(seq 1 200); do
    window=$(xdotool search --name '^Varek Setup$' 2>/dev/null | head -n 1) && [ -n "$window" ] && break
    sleep 0.05
done
[ -n "$window" ] || { echo "screenshot: the dialog did not come up" >&2; kill "$pid"; exit 1; }
# Let the dialog paint before it is captured.
sleep 1
mkdir -p "$(dirname "$out")"
import -window "$window" "$out"
kill "$pid" 2>/dev/null || true
wait "$pid" 2>/dev/null || true
echo "screenshot: wrote $out"
