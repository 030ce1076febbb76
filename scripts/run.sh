#!/usr/bin/env bash
# Builds Varek Setup.exe and runs it under Wine, in the user's own Wine prefix.
# With no X display it starts a virtual one (Xvfb) and says so; with a display that
# does not answer it says so and stops.
set -euo pipefail
. "$(dirname "$0")/lib.sh"

varek_host_wine varek_setup
if [ -n "${DISPLAY:-}" ] && ! timeout 5 xdpyinfo >/dev/null 2>&1; then
    echo "run: the X display DISPLAY=$DISPLAY does not answer (a stale value from ssh or tmux?)." >&2
    echo "run: set DISPLAY to a display that is up, or unset it to run on a virtual one:" >&2
    echo "run:     env -u DISPLAY scripts/run.sh" >&2
    exit 1
fi
if [ -z "${DISPLAY:-}" ]; then
    screen=$(mktemp -d)
    varek_start_xvfb "$screen"
    trap 'kill "$varek_xvfb_pid" 2>/dev/null; rm -rf "$screen"' EXIT
    echo "run: no X display was set, so the dialog runs on a virtual one, Xvfb $DISPLAY (PID $varek_xvfb_pid)."
    echo "run: it is invisible; see it with 'DISPLAY=$DISPLAY import -window root shot.png', end it with Ctrl+C."
fi

export WINEPREFIX="${WINEPREFIX:-$HOME/.wine}"
if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "run: first start in the Wine prefix $WINEPREFIX: Wine creates it now (about 20 s and 1.3 GiB)."
    start=$SECONDS
    wineboot -i </dev/null >/dev/null 2>&1 &
    boot=$!
    while kill -0 "$boot" 2>/dev/null; do
        sleep 2
        printf '\rrun: creating the prefix, %3d s, %s so far ' "$((SECONDS - start))" "$(du -sh "$WINEPREFIX" 2>/dev/null | cut -f1)"
    done
    echo
    wait "$boot" && wineserver -w || { echo "run: Wine could not create the prefix $WINEPREFIX" >&2; exit 1; }
    echo "run: prefix ready after $((SECONDS - start)) s."
fi
exe="$varek_root/build/$varek_preset/Varek Setup.exe"
echo "run: starting $exe under Wine (prefix: $WINEPREFIX)"
wine "$exe"
