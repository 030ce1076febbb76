# What the scripts share: the packages, the probe for 32-bit programs, the build, the host's
# Wine and a virtual X display. Sourced, never run: it only defines, and sets varek_root to
# the top of the source tree.

varek_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

# The DLLs every Windows has: the only ones Varek Setup.exe may import.
VAREK_ALLOWED_DLLS="kernel32.dll user32.dll gdi32.dll advapi32.dll ddraw.dll msvcrt.dll"

# The packages, by what uses them, so that one that cannot be installed holds back only
# the stages that need it (scripts/bootstrap.sh installs them by group).
# host: the unit tests and the fuzz targets (GoogleTest, sanitizers, Debian's clang);
# ccache lets a fresh clone reuse what an earlier build compiled.
VAREK_HOST_PACKAGES=(cmake make ccache g++ googletest clang libclang-rt-14-dev)
# windows: the cross compilers of both builds and Python, which draws the icon.
VAREK_WINDOWS_PACKAGES=(cmake make ccache python3 g++-mingw-w64-i686 binutils-mingw-w64-i686
    g++-mingw-w64-x86-64 binutils-mingw-w64-x86-64)
# wine: running the exe on this machine; xdpyinfo asks a display whether it answers,
# xdotool presses keys and imagemagick takes screenshots.
VAREK_WINE_PACKAGES=(wine wine64 fonts-wine xvfb x11-utils xdotool imagemagick)
# wine32: 32-bit Wine on this machine, for running the shipped exe by hand; optional.
VAREK_WINE32_PACKAGES=(wine32:i386 libfreetype6:i386)
# roots: building and entering the Debian roots of scripts/roots.sh.
VAREK_ROOTS_PACKAGES=(mmdebstrap uidmap bubblewrap)
# probe: the question whether this kernel runs 32-bit programs.
VAREK_PROBE_PACKAGES=(arch-test)
# vm: the emulated 32-bit machine, where the kernel cannot run 32-bit programs.
VAREK_VM_PACKAGES=(qemu-system-x86 cpio gzip e2fsprogs)

# varek_runs_32bit: true when this kernel itself executes 32-bit x86 programs, as Debian's
# arch-test -n answers (with an emulator such as qemu-user's binfmt handler left out).
# VAREK_RUNS_32BIT=yes|no overrides the probe.
varek_runs_32bit() {
    case "${VAREK_RUNS_32BIT:-}" in yes) return 0 ;; no) return 1 ;; esac
    command -v arch-test >/dev/null || varek_bootstrap probe >&2 || return
    arch-test -n i386 >/dev/null 2>&1
}

# varek_bootstrap GROUP...: installs what the groups lack (scripts/bootstrap.sh).
varek_bootstrap() {
    "$varek_root/scripts/bootstrap.sh" "$@"
}

# varek_build PRESET [TARGET...]: configures the build tree when it is not configured yet, or
# was configured before GoogleTest was installed, then builds; two jobs, the CPUs are shared.
varek_build() (
    cd "$varek_root" || exit
    local preset=$1 cache="build/$1/CMakeCache.txt"
    shift
    if [ ! -f "$cache" ] || { grep -q '^VAREK_WINE_TESTS:INTERNAL=OFF' "$cache" && [ -f /usr/src/googletest/CMakeLists.txt ]; }; then
        cmake --preset "$preset" >/dev/null || return
    fi
    cmake --build --preset "$preset" -j 2 ${1:+--target "$@"}
)

# varek_host_wine [TARGET...]: this machine's Wine and the build it runs, in varek_preset:
# the shipped 32-bit exe under 32-bit Wine; where that cannot start, the x86-64 build of the
# same sources (windows64), which Debian's wine script then runs with 64-bit Wine, saying
# why. Installs what running needs and builds the targets.
varek_host_wine() {
    varek_bootstrap run || return
    varek_preset=windows
    local why=""
    if ! varek_runs_32bit; then why="the kernel cannot run 32-bit programs"
    elif ! /usr/lib/wine/wine --version >/dev/null 2>&1; then why="32-bit Wine could not be installed"
    fi
    if [ -n "$why" ]; then
        varek_preset=windows64
        echo "note: $why, so this runs a 64-bit build of the same sources (preset windows64) under 64-bit Wine." >&2
    fi
    export WINEDEBUG="${WINEDEBUG:--all}" WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml,winemenubuilder.exe=}"
    varek_build "$varek_preset" "$@"
}

# varek_start_xvfb DIR [XVFB ARGUMENT...]: starts Xvfb on a display number it picks itself,
# keeping the screen in DIR/Xvfb_screen0 (an XWD file), and waits until it answers; sets
# DISPLAY and varek_xvfb_pid. The caller stops it by that PID.
varek_start_xvfb() {
    local dir=$1
    shift
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -fbdir "$dir" "$@" 3>"$dir/display" </dev/null >"$dir/xvfb.log" 2>&1 &
    varek_xvfb_pid=$!
    for _ in $(seq 1 100); do
        [ ! -s "$dir/display" ] || { export DISPLAY=":$(cat "$dir/display")"; return 0; }
        kill -0 "$varek_xvfb_pid" 2>/dev/null || break
        sleep 0.05
    done
    echo "Xvfb did not start:" >&2
    cat "$dir/xvfb.log" >&2
    return 1
}
