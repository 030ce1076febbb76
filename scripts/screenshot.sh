#!/usr/bin/env bash
# Remakes docs/setup-dialog.png: the dialog as a first run shows it, under Wine on a
# throwaway Xvfb display and prefix, with Wine's own DirectDraw.
#   scripts/screenshot.sh [OUTPUT.png]
set -euo pipefail
cd "$(dirname "$0")/.."
out=$(realpath -m "${1:-docs/setup-dialog.png}")

if [ "${VAREK_IN_SESSION:-}" != 1 ]; then
    scripts/bootstrap.sh
    source scripts/wine-flavour.sh
    cmake --preset "$VAREK_WINE_PRESET" >/dev/null
    cmake --build --preset "$VAREK_WINE_PRESET" --target varek_setup -j "$(nproc)"
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
