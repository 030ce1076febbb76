#!/usr/bin/env bash
# A throwaway Wine session: its own Xvfb display and WINEPREFIX, a persistent wineserver and
# one small process (KEEPER) kept alive, so that no launch waits for Wine's services; what it
# started is stopped by PID and its folder removed.
#   scripts/wine-session.sh [--trace FILE] KEEPER CMD...   runs CMD inside a new session
#   scripts/wine-session.sh --start DIR KEEPER            starts one in DIR (ctest's fixture)
#   scripts/wine-session.sh --stop DIR                    stops the one in DIR
#   scripts/wine-session.sh --run PROGRAM [ARGS...]       runs a Windows program under Wine in
#                                                         the session VAREK_WINE_SESSION names
# DIR/env sets DISPLAY, WINEPREFIX and VAREK_WINE_SESSION for whoever sources it. With
# --trace the server writes every request it serves to FILE (wineserver -d1).
set -uo pipefail
. "$(dirname "$0")/lib.sh"

# start DIR KEEPER [TRACE]: the session; nothing it leaves running holds the caller's output
# open, so ctest or a pipe reading it does not wait for them.
start() {
    local dir=$1 keeper=$2 trace=${3:-}
    mkdir -p "$dir"
    export WINEPREFIX="$dir/prefix" VAREK_WINE_SESSION="$dir"
    export WINEDEBUG="${WINEDEBUG:--all}" WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml,winemenubuilder.exe=}"
    varek_start_xvfb "$dir" || return
    echo "varek_xvfb_pid=$varek_xvfb_pid" >"$dir/pids"
    export -p | grep -E ' (DISPLAY|WINE[A-Z]*|VAREK_WINE_SESSION)=' >"$dir/env"
    # A root's prefix, made when the root was built, is copied: making one takes 20 s, and
    # minutes when emulated.
    if [ -d /var/lib/varek/prefix ]; then
        cp -a /var/lib/varek/prefix "$WINEPREFIX" || return
    elif ! wineboot -i </dev/null >"$dir/wineboot.log" 2>&1; then
        echo "wine-session: Wine could not create its prefix:" >&2
        tail -n 5 "$dir/wineboot.log" >&2
        return 1
    fi
    wineserver -w
    # Windows unmanaged, so closing one costs no wait for a window manager; a program that
    # crashes starts no debugger.
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f </dev/null >/dev/null 2>&1
    wine reg delete 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' /v Debugger /f </dev/null >/dev/null 2>&1
    wineserver -w
    if [ -n "$trace" ]; then
        wineserver -p -f -d1 </dev/null >/dev/null 2>"$trace" &
        echo "varek_server_pid=$!" >>"$dir/pids"
    else
        wineserver -p </dev/null >/dev/null 2>&1
    fi
    wine "$keeper" </dev/null >/dev/null 2>&1 &
    echo "varek_keeper_pid=$!" >>"$dir/pids"
    # From the moment its window is up, Wine's services run.
    for _ in $(seq 1 200); do
        ! xdotool search --name '^varek keeper$' >/dev/null 2>&1 || return 0
        sleep 0.05
    done
}

# stop DIR: ends what start started there, by PID, and removes DIR.
stop() (
    local varek_keeper_pid="" varek_xvfb_pid="" varek_server_pid=""
    [ ! -f "$1/pids" ] || . "$1/pids"
    [ ! -f "$1/env" ] || . "$1/env"
    [ -z "$varek_keeper_pid" ] || kill "$varek_keeper_pid" 2>/dev/null
    [ ! -d "$1/prefix" ] || wineserver -k >/dev/null 2>&1
    [ -z "$varek_server_pid" ] || kill "$varek_server_pid" 2>/dev/null
    [ -z "$varek_xvfb_pid" ] || kill "$varek_xvfb_pid" 2>/dev/null
    rm -rf "$1"
)

case "${1:-}" in
    --start)
        dir=$(realpath -m "$2")
        stop "$dir"  # a session left by an interrupted run goes first
        start "$dir" "$3" && { echo "wine-session: started in $dir on $DISPLAY under $(wine --version)"; exit 0; }
        stop "$dir"
        exit 1 ;;
    --stop) stop "$(realpath -m "$2")"; exit 0 ;;
    --run)
        shift
        if [ ! -f "${VAREK_WINE_SESSION:-}/env" ]; then
            echo "wine-session: no Wine session; run the tests with ctest, whose wine_session fixture starts one" >&2
            exit 1
        fi
        . "$VAREK_WINE_SESSION/env"
        exec wine "$@" ;;
    --trace) trace=$(realpath -m "$2"); shift 2 ;;
    "") echo "usage: scripts/wine-session.sh [--trace FILE] KEEPER CMD... | --start DIR KEEPER | --stop DIR | --run PROGRAM..." >&2
        exit 2 ;;
esac
session=$(mktemp -d "${TMPDIR:-/tmp}/varek-wine.XXXXXX")
trap 'stop "$session"' EXIT
trap 'exit 130' INT TERM
keeper=$(realpath "$1")
shift
start "$session" "$keeper" "${trace:-}" || exit
"$@"
