#!/usr/bin/env bash
# Builds Varek Setup.exe and runs it under Wine, in the user's own Wine prefix.
# With no X display it starts a virtual one (Xvfb) and says so; with a display that
# does not answer it says so and stops.
set -euo pipefail
. "$(dirname "$0")/lib.sh"

varek_bootstrap run
if [ -n "${DISPLAY:-}" ] && ! timeout 5 xdpyinfo >/dev/null 2>&1; then
    echo "run: the X display DISPLAY=$DISPLAY does not answer (a stale value from ssh or tmux?)." >&2
    echo "run: set DISPLAY to a display that is up, or unset it to run on a virtual one:" >&2
    echo "run:     env -u DISPLAY scripts/run.sh" >&2
    exit 1
fi

varek_wine_flavour
varek_build "$VAREK_WINE_PRESET" varek_setup
exe="$varek_root/build/$VAREK_WINE_PRESET/Varek Setup.exe"

varek_wine_environment
if [ -z "${DISPLAY:-}" ]; then
    varek_start_xvfb /dev/null
    trap 'kill "$varek_xvfb_pid" 2>/dev/null || true' EXIT
    echo "run: no X display was set, so the dialog runs on a virtual one, Xvfb $DISPLAY (PID $varek_xvfb_pid)."
    echo "run: it is invisible; see it with 'DISPLAY=$DISPLAY import -window root shot.png', end it with Ctrl+C."
fi

prefix="${WINEPREFIX:-$HOME/.wine}"
if [ ! -f "$prefix/system.reg" ]; then
    echo "run: first start in the Wine prefix $prefix: Wine creates it now (about 20 s and 1.3 GiB)."
    start=$SECONDS
    WINEPREFIX="$prefix" wineboot -i </dev/null >/dev/null 2>&1 &
    boot=$!
    while kill -0 "$boot" 2>/dev/null; do
        sleep 2
        printf '\rrun: creating the prefix, %3d s, %s so far ' "$((SECONDS - start))" \
            "$(du -sh "$prefix" 2>/dev/null | cut -f1 || true)"
    done
    echo
    if ! wait "$boot" || ! WINEPREFIX="$prefix" wineserver -w; then
        echo "run: Wine could not create the prefix $prefix" >&2
        exit 1
    fi
    echo "run: prefix ready after $((SECONDS - start)) s."
fi

echo "run: starting $exe under Wine (prefix: $prefix)"
WINEPREFIX="$prefix" wine "$exe"
