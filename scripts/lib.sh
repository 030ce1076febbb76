# What the scripts share: the packages, the build preamble, a virtual X display, the Wine
# session and the DLLs the exe may import. Sourced, never run:
#   . "$(dirname "$0")/lib.sh"
# Sourcing it only defines: it sets varek_root to the top of the source tree and changes
# neither the directory nor the environment of the script that sources it.

varek_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

# The DLLs every Windows has: the only ones Varek Setup.exe may import.
VAREK_ALLOWED_DLLS="kernel32.dll user32.dll gdi32.dll advapi32.dll ddraw.dll msvcrt.dll"

# The packages, by what uses them, so that one that cannot be installed holds back only
# the stages that need it (scripts/bootstrap.sh installs them by group).
# host: the unit tests and the fuzz targets (GoogleTest, sanitizers, Debian's clang).
VAREK_HOST_PACKAGES=(cmake make g++ googletest clang libclang-rt-14-dev)
# windows: the cross compilers of both builds and Python, which draws the icon.
VAREK_WINDOWS_PACKAGES=(cmake make python3 g++-mingw-w64-i686 binutils-mingw-w64-i686
    g++-mingw-w64-x86-64 binutils-mingw-w64-x86-64)
# wine: running the exe on this machine; xdpyinfo asks a display whether it answers,
# xdotool presses keys and imagemagick takes screenshots for the tests.
VAREK_WINE_PACKAGES=(wine wine64 fonts-wine xvfb x11-utils xdotool imagemagick)
# wine32: 32-bit Wine on this machine, for running the shipped exe by hand; optional.
VAREK_WINE32_PACKAGES=(wine32:i386 libfreetype6:i386)
# roots: building and entering the Debian roots of scripts/roots.sh.
VAREK_ROOTS_PACKAGES=(mmdebstrap uidmap arch-test bubblewrap)
# vm: the emulated 32-bit machine, where the kernel cannot run 32-bit programs.
VAREK_VM_PACKAGES=(qemu-system-x86 cpio gzip e2fsprogs)

# varek_runs_32bit: true when this kernel itself executes 32-bit x86 programs, as Debian's
# arch-test -n answers (with an emulator such as qemu-user's binfmt handler left out; the
# roots group installs it when missing). VAREK_RUNS_32BIT=yes|no overrides the probe.
varek_runs_32bit() {
    case "${VAREK_RUNS_32BIT:-}" in yes) return 0 ;; no) return 1 ;; esac
    command -v arch-test >/dev/null || varek_bootstrap roots >&2 || return
    arch-test -n i386 >/dev/null 2>&1
}

# varek_bootstrap GROUP...: installs what the groups lack (scripts/bootstrap.sh).
varek_bootstrap() {
    "$varek_root/scripts/bootstrap.sh" "$@"
}

# varek_build PRESET [TARGET...]: configures the build tree when it is not configured yet
# (cmake --build reconfigures by itself when a CMakeLists.txt changes), then builds.
# A tree configured before GoogleTest was installed is configured again, to gain its tests.
varek_build() (
    cd "$varek_root" || exit
    local preset=$1 cache="build/$1/CMakeCache.txt"
    shift
    if [ ! -f "$cache" ] ||
        { grep -q '^VAREK_WINE_TESTS:INTERNAL=OFF' "$cache" && [ -f /usr/src/googletest/CMakeLists.txt ]; }; then
        cmake --preset "$preset" >/dev/null || return
    fi
    local targets=()
    [ $# -eq 0 ] || targets=(--target "$@")
    # Two CPUs may be shared: two jobs at most.
    local jobs
    jobs=$(nproc)
    [ "$jobs" -le 2 ] || jobs=2
    cmake --build --preset "$preset" -j "$jobs" "${targets[@]}"
)

# varek_start_xvfb LOG [FBDIR]: starts Xvfb on a display number nobody uses and waits until
# it answers; sets DISPLAY and varek_xvfb_pid. The caller stops it by that PID. With FBDIR
# the screen is kept in FBDIR/Xvfb_screen0, an XWD file: a screenshot is a copy of it.
varek_start_xvfb() {
    local log=$1 fbdir=() n display=""
    [ -z "${2:-}" ] || fbdir=(-fbdir "$2")
    for n in $(seq 90 199); do
        if [ ! -e "/tmp/.X$n-lock" ] && [ ! -e "/tmp/.X11-unix/X$n" ]; then display=$n; break; fi
    done
    [ -n "$display" ] || { echo "no free X display number" >&2; return 1; }
    Xvfb ":$display" -screen 0 1024x768x24 -nolisten tcp "${fbdir[@]}" </dev/null >"$log" 2>&1 &
    varek_xvfb_pid=$!
    export DISPLAY=":$display"
    for _ in $(seq 1 100); do
        [ -e "/tmp/.X11-unix/X$display" ] && return 0
        kill -0 "$varek_xvfb_pid" 2>/dev/null || { echo "Xvfb did not start:" >&2; cat "$log" >&2; return 1; }
        sleep 0.05
    done
    echo "Xvfb did not open $DISPLAY in 5 s" >&2
    return 1
}

# varek_wine_flavour: the build the Wine runs here use, in VAREK_WINE_PRESET: the shipped
# 32-bit exe under 32-bit Wine, or under WoW64 (root sid-amd64: 64-bit prefixes only); where
# neither can start, the x86-64 build (windows64) under 64-bit Wine, saying once why.
varek_wine_flavour() {
    local reason=""
    VAREK_WINE_PRESET=windows
    if [ "${VAREK_ROOT:-}" = sid-amd64 ]; then
        export WINEARCH=win64
    elif ! varek_runs_32bit; then
        reason="the kernel cannot run 32-bit programs"
    elif ! /usr/lib/wine/wine --version >/dev/null 2>&1; then
        reason="32-bit Wine could not be installed"
    fi
    if [ -n "$reason" ]; then
        VAREK_WINE_PRESET=windows64
        export WINEARCH=win64 WINELOADER=/usr/lib/wine/wine64
        # Wine's tools (wineboot, ...) start "wine-stable" by name, which picks the 32-bit loader.
        case ":$PATH:" in *":$varek_root/scripts/wine64:"*) ;; *) PATH="$varek_root/scripts/wine64:$PATH" ;; esac
        export PATH
        if [ -z "${VAREK_FLAVOUR_SAID:-}" ]; then
            echo "note: $reason, so the Wine runs here use a 64-bit build of the same sources" \
                "(preset windows64) under 64-bit Wine." >&2
            export VAREK_FLAVOUR_SAID=1
        fi
    fi
    export VAREK_WINE_PRESET
}

# varek_wine_place: where the benchmark's Wine runs go: the shipped exe in the bookworm-i386
# root (Wine 8.0, the goals' Wine), entered by varek_wine_in, where this kernel runs 32-bit
# programs; else this machine's Wine with varek_wine_flavour's build.
varek_wine_place() {
    varek_wine_in=()
    if varek_runs_32bit; then
        varek_bootstrap windows roots
        VAREK_WINE_PRESET=windows
        varek_wine_in=("$varek_root/scripts/roots.sh" bookworm-i386 --)
    else
        varek_bootstrap windows wine
        varek_wine_flavour
    fi
}

# Wine without Mono or Gecko installers and without desktop menu entries; quiet unless asked.
varek_wine_environment() {
    export WINEDEBUG="${WINEDEBUG:--all}"
    export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml,winemenubuilder.exe=}"
}

# varek_session_start DIR [KEEPER_EXE]: a throwaway Wine session in DIR: its own Xvfb
# display and WINEPREFIX, a persistent wineserver and, when given, one small process kept
# alive. Writes DIR/env, which sets DISPLAY, WINEPREFIX and VAREK_WINE_SESSION for
# whoever sources it, and the PIDs that varek_session_stop ends. Nothing it starts holds
# the caller's output open, so ctest or a pipe reading it does not wait for them.
varek_session_start() {
    local session=$1 keeper=${2:-} keeper_pid=""
    mkdir -p "$session"
    varek_wine_flavour
    export WINEPREFIX="$session/prefix"
    export VAREK_WINE_SESSION="$session"
    varek_wine_environment
    varek_start_xvfb "$session/xvfb.log" "$session" || return
    {
        echo "export DISPLAY='$DISPLAY' WINEPREFIX='$WINEPREFIX' VAREK_WINE_SESSION='$session'"
        echo "export WINEDEBUG='$WINEDEBUG' WINEDLLOVERRIDES='$WINEDLLOVERRIDES'"
        [ -z "${WINEARCH:-}" ] || echo "export WINEARCH='$WINEARCH'"
        [ "$VAREK_WINE_PRESET" = windows ] ||
            echo "export WINELOADER='$WINELOADER' PATH='$PATH' VAREK_FLAVOUR_SAID=1"
        echo "varek_xvfb_pid=$varek_xvfb_pid"
    } >"$session/env"
    # A fresh prefix, or a copy of VAREK_WINE_PREFIX_TEMPLATE where making one is slow;
    # windows unmanaged, so closing one costs no wait for a window manager.
    if [ -n "${VAREK_WINE_PREFIX_TEMPLATE:-}" ]; then
        cp -a "$VAREK_WINE_PREFIX_TEMPLATE" "$WINEPREFIX" || return
    elif ! wineboot -i </dev/null >"$session/wineboot.log" 2>&1; then
        echo "wine-session: Wine could not create its prefix:" >&2
        tail -n 5 "$session/wineboot.log" >&2
        return 1
    fi
    wineserver -w
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f </dev/null >/dev/null 2>&1
    # A program that crashes starts no debugger of Wine's. (Under 64-bit Wine 8 a crashed
    # program may still hang: the tests' own time limits end it.)
    wine reg delete 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' /v Debugger /f \
        </dev/null >/dev/null 2>&1 || true
    wineserver -w
    # A persistent server and one small process kept alive spare every launch the
    # start-up of Wine's services. With VAREK_WINESERVER_TRACE set, the server runs in
    # the foreground and writes every request it serves to that file (wineserver -d1).
    if [ -n "${VAREK_WINESERVER_TRACE:-}" ]; then
        wineserver -p -f -d1 </dev/null >/dev/null 2>"$VAREK_WINESERVER_TRACE" &
        echo "varek_server_pid=$!" >>"$session/env"
    else
        wineserver -p </dev/null >/dev/null 2>&1
    fi
    if [ -n "$keeper" ] && [ -f "$keeper" ]; then
        wine "$keeper" </dev/null >/dev/null 2>&1 &
        keeper_pid=$!
        echo "varek_keeper_pid=$keeper_pid" >>"$session/env"
        # Wait until its window is up: from then on Wine's services run.
        for _ in $(seq 1 200); do
            xdotool search --name '^varek keeper$' >/dev/null 2>&1 && break
            sleep 0.05
        done
    fi
}

# varek_session_stop DIR: ends what varek_session_start started there, by PID, and removes DIR.
varek_session_stop() {
    local session=$1 varek_keeper_pid="" varek_xvfb_pid="" varek_server_pid=""
    [ -f "$session/env" ] || { rm -rf "$session"; return 0; }
    (
        # shellcheck disable=SC1091
        . "$session/env"
        [ -z "$varek_keeper_pid" ] || kill "$varek_keeper_pid" 2>/dev/null || true
        [ ! -d "$WINEPREFIX" ] || wineserver -k >/dev/null 2>&1 || true
        [ -z "$varek_server_pid" ] || kill "$varek_server_pid" 2>/dev/null || true
        if [ -n "$varek_xvfb_pid" ] && kill "$varek_xvfb_pid" 2>/dev/null; then
            # Until it is gone or only a zombie waiting for its parent.
            for _ in $(seq 1 40); do
                case $(ps -o stat= -p "$varek_xvfb_pid" 2>/dev/null) in "" | Z*) break ;; esac
                sleep 0.05
            done
        fi
    )
    rm -rf "$session"
}
