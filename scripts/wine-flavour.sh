# Sourced after bootstrap: which Windows build the Wine runs here use, in VAREK_WINE_PRESET.
# The tool ships as a 32-bit program and runs under 32-bit Wine. Some machines run only
# 64-bit user code (their kernel has no 32-bit emulation: every i386 program fails with
# "Exec format error"), and there 32-bit Wine cannot start at all. On such a machine the
# Wine runs use an x86-64 build of the same sources under 64-bit Wine, in a 64-bit prefix,
# and say so once; the 32-bit exe is still built and checked as a file.
if /usr/lib/wine/wine --version >/dev/null 2>&1; then
    VAREK_WINE_PRESET=windows
else
    VAREK_WINE_PRESET=windows64
    export WINEARCH=win64 WINELOADER=/usr/lib/wine/wine64
    # Wine's tools (wineboot, ...) start "wine-stable" by name, which picks the 32-bit loader.
    PATH="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)/wine64:$PATH"
    export PATH
    if [ -z "${VAREK_FLAVOUR_SAID:-}" ]; then
        echo "note: this machine cannot run 32-bit programs (32-bit Wine fails to start), so the Wine" \
            "runs use a 64-bit build of the same sources (preset windows64) under 64-bit Wine." >&2
        export VAREK_FLAVOUR_SAID=1
    fi
fi
export VAREK_WINE_PRESET
