#!/usr/bin/env bash
# Builds everything and runs every test stage: the host unit tests (with sanitizers), the
# fuzz targets, the 32-bit exe's check, the Windows build's tests under Wine (ctest starts
# and stops their Wine session), the shipped 32-bit exe in the emulated 32-bit machine
# where this one cannot run it (see varek_wine_flavour in lib.sh), and the quick
# benchmark. Every stage runs even after one has failed, and a stage whose packages could
# not be installed is reported as such; the summary names the failed stages, ends with
# "tests: N passed, M failed", and the exit status is non-zero when anything failed.
set -uo pipefail
. "$(dirname "$0")/lib.sh"
cd "$varek_root"

passed=0
failed=0
summary=()
failed_stages=()
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

# needs NAME GROUP...: true when the stage NAME has its packages; otherwise the stage
# fails in the summary, naming them, without being run.
needs() {
    local name=$1 lack
    shift
    lack=$(scripts/bootstrap.sh --missing "$@")
    [ -n "$lack" ] || return 0
    finish "$name" 1 0 1 "not run: packages missing: $lack"
    return 1
}

# A package that could not be installed holds back only the stages that need it.
echo "== packages"
if ! varek_bootstrap test; then
    finish bootstrap 1 0 1 "packages missing (above); the stages that need them are not run"
fi

# Where the shipped exe can only run in the emulated machine, its image (built once, about
# 7 minutes on an idle machine, mostly emulated dpkg and Wine making its prefix) is made
# while the host stages run, and waited for before the Wine tests, whose timings must not
# share the processors with it.
image_pid=""
if ! varek_runs_32bit && [ -z "$(scripts/bootstrap.sh --missing vm)" ]; then
    mkdir -p build
    scripts/vm32.sh --image >build/vm32-image.log 2>&1 &
    image_pid=$!
    echo "== the emulated 32-bit machine's image: made meanwhile if needed (build/vm32-image.log)"
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

image_rc=0
if [ -n "$image_pid" ]; then
    wait "$image_pid" || image_rc=$?
    cat build/vm32-image.log
fi

if needs wine windows wine input; then
    echo "== Windows build and Wine tests"
    varek_wine_flavour
    ctest_stage "wine ($VAREK_WINE_PRESET)" "$VAREK_WINE_PRESET"

    if [ "$VAREK_WINE_PRESET" = windows ]; then
        echo "== the 32-bit exe ran natively above: no emulated machine needed"
    elif needs "emulated 32-bit machine" vm; then
        # The Wine tests above ran the 64-bit build; the exe users get runs here.
        echo "== the shipped 32-bit exe in an emulated 32-bit machine (scripts/vm32.sh)"
        rc=0
        if [ "$image_rc" -eq 0 ]; then
            scripts/vm32.sh --checks 2>&1 | tee "$log" || rc=$?
        else
            rc=$image_rc
            grep 'FAILED' build/vm32-image.log >"$log"
        fi
        line=$(grep -E '^vm32: [0-9]+ passed, [0-9]+ failed' "$log" | tail -n 1)
        if [[ $line =~ ([0-9]+)\ passed,\ ([0-9]+)\ failed ]]; then
            finish "emulated 32-bit machine" "$rc" "${BASH_REMATCH[1]}" "${BASH_REMATCH[2]}" "${line#vm32: }"
        else
            finish "emulated 32-bit machine" 1 0 1 "$(grep -m1 'FAILED' "$log" || echo "no result (status $rc)")"
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
