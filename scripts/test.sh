#!/usr/bin/env bash
# Builds everything and runs every test: the host unit tests (with sanitizers),
# then the Windows build's tests under Wine in a throwaway session.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/bootstrap.sh
jobs=$(nproc)

summary=()
passed=0
failed=0
run_ctest() {  # name, ctest args...
    local name=$1 log line
    shift
    log=$(mktemp)
    local rc=0
    "$@" 2>&1 | tee "$log" || rc=$?
    line=$(grep -E 'tests passed|tests failed' "$log" | tail -n 1)
    summary+=("$name: $line")
    # "100% tests passed, 0 tests failed out of 45"
    if [[ $line =~ ([0-9]+)\ tests\ failed\ out\ of\ ([0-9]+) ]]; then
        failed=$((failed + BASH_REMATCH[1]))
        passed=$((passed + BASH_REMATCH[2] - BASH_REMATCH[1]))
    fi
    rm -f "$log"
    return $rc
}

echo "== host build and unit tests"
cmake --preset host >/dev/null
cmake --build --preset host -j "$jobs"
run_ctest host ctest --preset host

echo "== fuzz targets, 30 s each"
fuzz_log=$(mktemp)
fuzz_rc=0
scripts/fuzz.sh 30 2>&1 | tee "$fuzz_log" || fuzz_rc=$?
fuzz_line=$(grep '^fuzz: ' "$fuzz_log" | tail -n 1) || fuzz_line="fuzz: no result (exit $fuzz_rc)"
summary+=("$fuzz_line")
rm -f "$fuzz_log"
[ "$fuzz_rc" -eq 0 ]

echo "== Windows build and Wine tests"
source scripts/wine-flavour.sh
cmake --preset windows >/dev/null
cmake --build --preset windows -j "$jobs"
if [ "$VAREK_WINE_PRESET" != windows ]; then
    # The Wine tests below run the 64-bit build; the exe that ships is checked here as a file.
    echo "== the 32-bit exe as it ships: size and imports"
    if scripts/check-exe.sh "build/windows/Varek Setup.exe"; then
        passed=$((passed + 1)); summary+=("32-bit exe check: passed")
    else
        failed=$((failed + 1)); summary+=("32-bit exe check: FAILED")
    fi
    cmake --preset "$VAREK_WINE_PRESET" >/dev/null
    cmake --build --preset "$VAREK_WINE_PRESET" -j "$jobs"
fi
VAREK_WINE_KEEPER="$PWD/build/$VAREK_WINE_PRESET/tests/e2e/wine_keeper.exe" \
    run_ctest "wine ($VAREK_WINE_PRESET)" scripts/wine-session.sh ctest --preset "$VAREK_WINE_PRESET"

echo "== benchmark, quick: shows it still runs; its figures are not judged"
bench_rc=0
scripts/benchmark.sh --quick || bench_rc=$?
summary+=("benchmark --quick: $([ "$bench_rc" -eq 0 ] && echo "ran, table in build/windows/benchmark-quick.txt" ||
    echo "FAILED (exit $bench_rc)")")

echo "== summary"
printf '%s\n' "${summary[@]}"
echo "tests: $passed passed, $failed failed"
[ "$bench_rc" -eq 0 ]
