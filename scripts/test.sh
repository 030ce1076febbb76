#!/usr/bin/env bash
# Builds everything and runs every test stage: the host unit tests (with sanitizers), the
# fuzz targets, the Windows build's tests under Wine (ctest starts and stops their Wine
# session; see varek_wine_flavour in lib.sh for machines without 32-bit user code), and the
# quick benchmark. Every stage runs even after one has failed; the
# summary names the failed stages, ends with "tests: N passed, M failed", and the exit
# status is non-zero when anything failed.
set -uo pipefail
. "$(dirname "$0")/lib.sh"

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

if ! varek_bootstrap test; then
    echo "== summary"
    echo "bootstrap: FAILED, packages missing"
    echo "tests: 0 passed, 1 failed"
    exit 1
fi

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

echo "== Windows build and Wine tests"
varek_wine_flavour
if [ "$VAREK_WINE_PRESET" != windows ]; then
    # The Wine tests run the 64-bit build; the exe that ships is checked here as a file, and
    # its Wine tests are built, so that they still compile for the machines that run them.
    echo "== the 32-bit build: the exe as it ships (size, imports, header) and its Wine tests"
    if varek_build windows && scripts/check-exe.sh "build/windows/Varek Setup.exe"; then
        finish "32-bit build and exe check" 0 1 0 "passed"
    else
        finish "32-bit build and exe check" 1 0 1 "see above"
    fi
fi
ctest_stage "wine ($VAREK_WINE_PRESET)" "$VAREK_WINE_PRESET"

echo "== benchmark, quick: shows it still runs; its figures are not judged"
rc=0
scripts/benchmark.sh --quick || rc=$?
if [ "$rc" -eq 0 ]; then
    finish benchmark 0 1 0 "ran, table in build/windows/benchmark-quick.txt"
else
    finish benchmark "$rc" 0 1 "could not measure (status $rc)"
fi

echo "== summary"
printf '%s\n' "${summary[@]}"
if [ ${#failed_stages[@]} -gt 0 ]; then
    echo "failed stages: ${failed_stages[*]}"
fi
echo "tests: $passed passed, $failed failed"
[ ${#failed_stages[@]} -eq 0 ]
