#!/usr/bin/env bash
# A throwaway Wine session: its own Xvfb display and its own WINEPREFIX, both removed
# afterwards, every process it started stopped by PID.
#   scripts/wine-session.sh COMMAND [ARGS...]     runs the command inside a new session
#   scripts/wine-session.sh --start DIR [KEEPER]  starts one in DIR and leaves it running
#   scripts/wine-session.sh --stop DIR            stops the one in DIR
# The command (or whoever sources DIR/env) sees DISPLAY, WINEPREFIX and VAREK_WINE_SESSION.
# VAREK_WINE_KEEPER names a small program kept alive for the session's whole life.
set -euo pipefail
. "$(dirname "$0")/lib.sh"

case "${1:-}" in
    --start)
        dir=$(realpath -m "$2")
        if [ -n "${VAREK_WINE_SESSION:-}" ]; then
            echo "wine-session: the tests use the session around them, $VAREK_WINE_SESSION"
            exit 0
        fi
        # A session left by an interrupted run goes first.
        varek_session_stop "$dir"
        if ! varek_session_start "$dir" "${3:-${VAREK_WINE_KEEPER:-}}"; then
            varek_session_stop "$dir"
            exit 1
        fi
        echo "wine-session: started in $dir on $DISPLAY"
        exit 0
        ;;
    --stop)
        varek_session_stop "$(realpath -m "$2")"
        exit 0
        ;;
    "")
        echo "usage: scripts/wine-session.sh COMMAND [ARGS...] | --start DIR [KEEPER] | --stop DIR" >&2
        exit 2
        ;;
esac

session=$(mktemp -d "${TMPDIR:-/tmp}/varek-wine.XXXXXX")
cleanup() {
    local rc=$?
    varek_session_stop "$session"
    exit "$rc"
}
trap cleanup EXIT
trap 'exit 130' INT TERM
varek_session_start "$session" "${VAREK_WINE_KEEPER:-}"
"$@"
