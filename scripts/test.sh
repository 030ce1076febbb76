#!/usr/bin/env bash
# Builds everything and runs every test through ctest, in each place it runs: the unit tests
# and the fuzz targets on this machine, the exe check, the shipped exe's Wine tests in the
# Debian roots of scripts/roots.sh (where this kernel cannot run 32-bit programs: the x86-64
# build's on this machine's Wine, and the shipped exe's end-to-end group in the emulated PC),
# then the quick benchmark. Every stage runs even after one has failed; the summary ends with
# "tests: N passed, M failed"; the exit status is non-zero when anything failed.
set -uo pipefail
. "$(dirname "$0")/lib.sh"
cd "$varek_root"
# Asked once: every script below takes the answer.
if varek_runs_32bit; then export VAREK_RUNS_32BIT=yes; else export VAREK_RUNS_32BIT=no; fi

passed=0 failed=0 summary=() failed_stages=()
mkdir -p build/results

# finish NAME STATUS PASSED FAILED DETAIL: one stage's line in the summary.
finish() {
    passed=$((passed + $3)) failed=$((failed + $4))
    if [ "$2" -eq 0 ] && [ "$4" -eq 0 ]; then summary+=("$1: ok, $5"); else summary+=("$1: FAILED, $5") failed_stages+=("$1"); fi
}

# stage NAME PRESET CTEST...: builds the preset's tree, then runs the ctest command line (in
# a root, if it says so), counted from ctest's JUnit report. A run of no test fails.
stage() {
    local name=$1 preset=$2 junit rc=0 t f s wine
    junit=$varek_root/build/results/${name//[^A-Za-z0-9.]/_}.xml
    shift 2
    echo "== $name"
    rm -f "$junit"
    varek_build "$preset" || { finish "$name" 1 0 1 "the build failed"; return; }
    "$@" --output-junit "$junit" || rc=$?
    read -r t f s < <(sed -n 's/^\s*\(tests\|failures\|skipped\)="\([0-9]*\)"$/\2/p' "$junit" 2>/dev/null | paste -sd' ')
    [ "${t:-0}" -gt 0 ] || { finish "$name" 1 0 1 "no test ran (status $rc)"; return; }
    [ "$rc" -eq 0 ] || [ "$f" -gt 0 ] || f=1
    wine=$(grep -om1 'under wine-[^<]*' "$junit")
    finish "$name" "$rc" "$((t - f - s))" "$f" "$((t - f - s)) passed, $f failed, $s skipped${wine:+, $wine}"
}

# needs NAME GROUP...: true when the stage has its packages; else it fails, naming them.
needs() {
    local lack
    lack=$(scripts/bootstrap.sh --missing "${@:2}")
    [ -z "$lack" ] || { finish "$1" 1 0 1 "not run: packages missing: $lack"; return 1; }
}

echo "== packages"
varek_bootstrap test || finish bootstrap 1 0 1 "packages missing (above); the stages that need them are not run"

# The roots are built where not cached while the host stages run, and waited for before the
# Wine stages, which must not share the CPUs.
roots=(bookworm-i386)
[ "$VAREK_RUNS_32BIT" = no ] || roots+=(trixie-i386 sid-amd64)
roots_pid=""
if [ -z "$(scripts/bootstrap.sh --missing roots)" ]; then
    for root in "${roots[@]}"; do scripts/roots.sh "$root" --build || true; done >build/roots.log 2>&1 &
    roots_pid=$!
    echo "== the roots ${roots[*]}: built meanwhile where not cached (build/roots.log)"
fi

if needs host host; then
    stage "host unit tests" host ctest --preset host
    cmake --preset fuzz -DVAREK_FUZZ_SECONDS=30 >/dev/null
    stage "fuzz targets, 30 s each" fuzz ctest --preset fuzz
fi
needs "exe check" windows && stage "exe check" windows ctest --preset windows -L exe
[ -z "$roots_pid" ] || { wait "$roots_pid"; cat build/roots.log; }

if [ "$VAREK_RUNS_32BIT" = no ]; then
    # This kernel cannot run the shipped exe: the x86-64 build runs every Wine test here, and
    # the shipped exe the end-to-end group, emulated.
    needs "Wine tests, windows64" windows wine && stage "Wine tests, windows64" windows64 ctest --preset windows64
    needs "emulated bookworm-i386" windows roots vm &&
        stage "e2e group, emulated bookworm-i386" windows scripts/roots.sh bookworm-i386 -- ctest --preset e2e
elif needs roots windows roots; then
    stage "Wine tests, bookworm-i386" windows scripts/roots.sh bookworm-i386 -- ctest --preset wine
    stage "Wine tests, trixie-i386" windows scripts/roots.sh trixie-i386 -- ctest --preset wine
    # Wine's WoW64 mode comes from Debian's unstable suite, which may not have it today.
    if why=$(grep -m1 'FAILED.*sid-amd64' build/roots.log); then
        summary+=("e2e group, WoW64 sid-amd64: warning: not run: $why")
    else
        stage "e2e group, WoW64 sid-amd64" windows scripts/roots.sh sid-amd64 -- ctest --preset e2e
    fi
fi

echo "== benchmark, quick: shows it still runs; its figures are not judged"
if scripts/benchmark.sh --quick; then finish benchmark 0 1 0 "ran, table in build/windows/benchmark-quick.txt"
else finish benchmark 1 0 1 "could not measure"
fi

echo "== summary"
printf '%s\n' "${summary[@]}"
[ ${#failed_stages[@]} -eq 0 ] || echo "failed stages: ${failed_stages[*]}"
echo "tests: $passed passed, $failed failed"
[ ${#failed_stages[@]} -eq 0 ]
