#!/usr/bin/env bash
# Runs a command inside a throwaway Wine session: its own Xvfb display and its own
# WINEPREFIX, both removed afterwards, every process it started stopped by PID.
#   scripts/wine-session.sh COMMAND [ARGS...]
# The command sees DISPLAY, WINEPREFIX and VAREK_WINE_SESSION (the session folder).
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
source "$here/wine-flavour.sh"
session=$(mktemp -d "${TMPDIR:-/tmp}/varek-wine.XXXXXX")
xvfb_pid=""
keeper_pid=""

export WINEPREFIX="$session/prefix"
export WINEDEBUG="${WINEDEBUG:--all}"
# No Mono or Gecko installers, no desktop menu entries.
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml,winemenubuilder.exe=}"
export VAREK_WINE_SESSION="$session"

cleanup() {
    local rc=$?
    [ -n "$keeper_pid" ] && kill "$keeper_pid" 2>/dev/null || true
    wineserver -k >/dev/null 2>&1 || true
    [ -n "$keeper_pid" ] && wait "$keeper_pid" 2>/dev/null || true
    if [ -n "$xvfb_pid" ]; then
        kill "$xvfb_pid" 2>/dev/null || true
        wait "$xvfb_pid" 2>/dev/null || true
    fi
    rm -rf "$session"
    exit "$rc"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

# A display number nobody uses, for a screen of our own.
display=""
for n in $(seq 90 199); do
    if [ ! -e "/tmp/.X$n-lock" ] && [ ! -e "/tmp/.X11-unix/X$n" ]; then display=$n; break; fi
done
[ -n "$display" ] || { echo "wine-session: no free X display number" >&2; exit 1; }
Xvfb ":$display" -screen 0 1024x768x24 -nolisten tcp >"$session/xvfb.log" 2>&1 &
xvfb_pid=$!
export DISPLAY=":$display"
for _ in $(seq 1 100); do
    [ -e "/tmp/.X11-unix/X$display" ] && break
    kill -0 "$xvfb_pid" 2>/dev/null || { echo "wine-session: Xvfb did not start" >&2; cat "$session/xvfb.log" >&2; exit 1; }
    sleep 0.05
done

# A fresh prefix; windows unmanaged, so closing one costs no wait for a window manager.
wineboot -i >"$session/wineboot.log" 2>&1
wineserver -w
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
# A program that crashes ends at once with its fault code instead of waiting in a debugger.
wine reg delete 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' /v Debugger /f >/dev/null 2>&1 || true
wineserver -w
# A persistent server and one small process kept alive spare every launch the
# start-up of Wine's services. Neither may hold the command's output open, or
# whoever reads it (ctest, a pipe) would wait for them.
wineserver -p </dev/null >/dev/null 2>&1
if [ -n "${VAREK_WINE_KEEPER:-}" ] && [ -f "$VAREK_WINE_KEEPER" ]; then
    wine "$VAREK_WINE_KEEPER" </dev/null >/dev/null 2>&1 &
    keeper_pid=$!
    # Wait until its window is up: from then on Wine's services run.
    for _ in $(seq 1 200); do
        xdotool search --name '^varek keeper$' >/dev/null 2>&1 && break
        sleep 0.05
    done
fi

"$@"
