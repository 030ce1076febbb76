#!/usr/bin/env bash
# Runs one Windows program under Wine in the current Wine session: the one around the
# caller (scripts/wine-session.sh), or else the one whose settings VAREK_SESSION_ENV
# names (ctest's wine_session fixture).
set -euo pipefail
if [ -z "${VAREK_WINE_SESSION:-}" ] && [ -n "${VAREK_SESSION_ENV:-}" ] && [ -f "$VAREK_SESSION_ENV" ]; then
    # shellcheck disable=SC1090
    . "$VAREK_SESSION_ENV"
fi
if [ -z "${WINEPREFIX:-}" ] || [ -z "${VAREK_WINE_SESSION:-}" ]; then
    echo "wine-run: no Wine session; run the tests with ctest (its wine_session fixture starts one)" \
        "or inside scripts/wine-session.sh" >&2
    exit 1
fi
exec wine "$@"
