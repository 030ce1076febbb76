#!/usr/bin/env bash
# Builds Varek Setup.exe and runs it under Wine, in the user's own Wine prefix.
# With no X display it starts a virtual one (Xvfb) and says so.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/bootstrap.sh
source scripts/wine-flavour.sh
cmake --preset "$VAREK_WINE_PRESET" >/dev/null
cmake --build --preset "$VAREK_WINE_PRESET" --target varek_setup -j "$(nproc)"
exe="$PWD/build/$VAREK_WINE_PRESET/Varek Setup.exe"

export WINEDEBUG="${WINEDEBUG:--all}"
# A new prefix would otherwise offer to download Mono and Gecko, which the tool does not use.
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
xvfb_pid=""
if [ -z "${DISPLAY:-}" ]; then
    for n in $(seq 90 199); do
        if [ ! -e "/tmp/.X$n-lock" ] && [ ! -e "/tmp/.X11-unix/X$n" ]; then display=$n; break; fi
    done
    Xvfb ":$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
    xvfb_pid=$!
    trap 'kill "$xvfb_pid" 2>/dev/null || true' EXIT
    export DISPLAY=":$display"
    for _ in $(seq 1 100); do [ -e "/tmp/.X11-unix/X$display" ] && break; sleep 0.05; done
    echo "run: no X display was set, so the dialog runs on a virtual one, Xvfb $DISPLAY (PID $xvfb_pid)."
    echo "run: it is invisible; see it with 'DISPLAY=$DISPLAY import -window root shot.png', end it with Ctrl+C."
fi

echo "run: starting $exe under Wine (prefix: ${WINEPREFIX:-$HOME/.wine})"
wine "$exe"
