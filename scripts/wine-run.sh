#!/usr/bin/env bash
# Runs one Windows program under Wine in the current Wine session (see wine-session.sh).
set -euo pipefail
if [ -z "${WINEPREFIX:-}" ] || [ -z "${VAREK_WINE_SESSION:-}" ]; then
    echo "wine-run: no Wine session; run the tests through scripts/wine-session.sh" >&2
    exit 1
fi
exec wine "$@"
