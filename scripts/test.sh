#!/usr/bin/env bash
# Builds everything and runs every test stage: host unit tests, fuzz targets, the exe check,
# the shipped exe's Wine tests in the roots of scripts/roots.sh, the quick benchmark. Every
# stage runs even after one has failed; the summary names the failed stages and ends with
# "tests: N passed, M failed"; the exit status is non-zero when anything failed.
set -uo pipefail
. "$(dirname "$0")/lib.sh"
cd "$varek_root"

passed=0 failed=0
summary=() failed_stages=()
log=$(mktemp)
trap 'rm -f "$log"' EXIT

# finish NAME STATUS PASSED FAILED DETAIL: one stage's line in the summary.
finish() {
    local name=$1 status=$2 p=$3 f=$4 detail=$5
    passed=$((passed + p))
    failed=$((failed + f))
    if [ "$status" -eq 0 ] && [ "$f" -eq 0 ]; then
        summary+=("$name: ok, $detail")
    else
        summary+=("$name: FAILED, $detail")
        failed_stages+=("$name")
    fi
}

# ctest_stage NAME PRESET: builds the preset's tree and runs its tests.
ctest_stage() {
    local name=$1 preset=$2 rc=0 line
    if ! varek_build "$preset" 2>&1 | tee "$log"; then
        finish "$name" 1 0 1 "the build failed"
        return
    fi
    ctest --preset "$preset" 2>&1 | tee "$log" || rc=$?
    # "100% tests passed, 0 tests failed out of 45"
    line=$(grep -E 'tests passed|tests failed' "$log" | tail -n 1)
    if [[ $line =~ ([0-9]+)\ tests\ failed\ out\ of\ ([0-9]+) ]]; then
        finish "$name" "$rc" "$((BASH_REMATCH[2] - BASH_REMATCH[1]))" "${BASH_REMATCH[1]}" "$line"
    else
        finish "$name" 1 0 1 "ctest ended with status $rc and no count"
    fi
}

# needs NAME GROUP...: true when the stage has its packages; else it fails, naming them.
needs() {
    local name=$1 lack
    shift
    lack=$(scripts/bootstrap.sh --missing "$@")
    [ -n "$lack" ] || return 0
    finish "$name" 1 0 1 "not run: packages missing: $lack"
    return 1
}

# root_stage NAME ROOT MODE: the shipped exe's Wine test programs in a root of
# scripts/roots.sh (scripts/wine-suite.sh MODE).
root_stage() {
    local name=$1 root=$2 mode=$3 rc=0 line
    echo "== $name: the shipped 32-bit exe, scripts/wine-suite.sh $mode in the $root root"
    scripts/roots.sh "$root" -- scripts/wine-suite.sh "$mode" 2>&1 | tee "$log" || rc=$?
    line=$(grep -E '^suite: [0-9]+ passed, [0-9]+ failed' "$log" | tail -n 1)
    if [[ $line =~ ([0-9]+)\ passed,\ ([0-9]+)\ failed ]]; then
        finish "$name" "$rc" "${BASH_REMATCH[1]}" "${BASH_REMATCH[2]}" "${line#suite: }"
    else
        finish "$name" 1 0 1 "$(grep -m1 'FAILED' "$log" || echo "no result (status $rc)")"
    fi
}

# A package that could not be installed holds back only the stages that need it.
echo "== packages"
if ! varek_bootstrap test; then
    finish bootstrap 1 0 1 "packages missing (above); the stages that need them are not run"
fi

# The roots (all three natively, or the emulated bookworm-i386) are built where not cached
# while the host stages run, and waited for before the Wine stages, which must not share the CPUs.
roots=(bookworm-i386)
! varek_runs_32bit || roots+=(trixie-i386 sid-amd64)
roots_pid=""
mkdir -p build
if [ -z "$(scripts/bootstrap.sh --missing roots)" ]; then
    for root in "${roots[@]}"; do scripts/roots.sh "$root" --build || true; done >build/roots.log 2>&1 &
    roots_pid=$!
    echo "== the roots ${roots[*]}: built meanwhile where not cached (build/roots.log)"
fi

if needs host host; then
    echo "== host build and unit tests"
    ctest_stage host host

    echo "== fuzz targets, 30 s each"
    rc=0
    scripts/fuzz.sh 30 2>&1 | tee "$log" || rc=$?
    line=$(grep '^fuzz: ' "$log" | tail -n 1)
    if [ -n "$line" ]; then
        runs=$(grep -o 'exec/s' <<<"$line" | wc -l)
        bad=$(grep -o 'FAILED' <<<"$line" | wc -l)
        finish fuzz "$rc" "$((runs - bad))" "$bad" "${line#fuzz: }"
    else
        finish fuzz 1 0 1 "no result (status $rc)"
    fi
fi

if needs "windows builds" windows; then
    echo "== the 32-bit build: the exe as it ships (size, imports, header, manifest) and its Wine tests"
    if varek_build windows && scripts/check-exe.sh "build/windows/Varek Setup.exe"; then
        finish "32-bit build and exe check" 0 1 0 "passed"
    else
        finish "32-bit build and exe check" 1 0 1 "see above"
    fi
fi

[ -z "$roots_pid" ] || { wait "$roots_pid"; cat build/roots.log; }

if ! varek_runs_32bit && needs "wine (windows64)" windows wine; then
    # This kernel cannot run the shipped exe: the whole suite runs the x86-64 build on this
    # machine's 64-bit Wine, and the end-to-end group the shipped exe, emulated.
    varek_wine_flavour
    ctest_stage "wine (windows64)" windows64
fi
if needs "roots" windows roots; then
    if ! varek_runs_32bit; then
        needs "emulated bookworm-i386" vm && root_stage "emulated bookworm-i386" bookworm-i386 --checks
    else
        root_stage "Wine 8.0, bookworm-i386" bookworm-i386 --suite
        root_stage "Wine 10.0, trixie-i386" trixie-i386 --suite
        # Wine's WoW64 mode comes from Debian's unstable suite, which may not have it today.
        if why=$(grep -m1 'FAILED.*sid-amd64' build/roots.log); then
            summary+=("WoW64, sid-amd64: warning: not run: $why")
        else
            root_stage "WoW64, sid-amd64" sid-amd64 --checks
        fi
    fi

    echo "== benchmark, quick: shows it still runs; its figures are not judged"
    rc=0
    scripts/benchmark.sh --quick || rc=$?
    if [ "$rc" -eq 0 ]; then
        finish benchmark 0 1 0 "ran, table in build/windows/benchmark-quick.txt"
    else
        finish benchmark "$rc" 0 1 "could not measure (status $rc)"
    fi
fi

echo "== summary"
printf '%s\n' "${summary[@]}"
if [ ${#failed_stages[@]} -gt 0 ]; then
    echo "failed stages: ${failed_stages[*]}"
fi
echo "tests: $passed passed, $failed failed"
[ ${#failed_stages[@]} -eq 0 ]
