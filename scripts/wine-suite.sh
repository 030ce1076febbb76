#!/usr/bin/env bash
# The 32-bit build's own Wine test programs against the shipped Varek Setup.exe, in one Wine
# session, under the Wine at hand: run in a root of scripts/roots.sh (natively or emulated).
#   --checks   the end-to-end group below, chosen with GoogleTest filters
#   --suite    every Wine test program, whole
# Ends with "suite: N passed, M failed, K skipped" (GoogleTest's counts); fails when any failed.
set -uo pipefail
. "$(dirname "$0")/lib.sh"
cd "$varek_root"
build=build/windows

if [ -z "${VAREK_WINE_SESSION:-}" ]; then
    export VAREK_EXE="$varek_root/$build/Varek Setup.exe"
    export VAREK_WINE_KEEPER="$varek_root/$build/tests/e2e/wine_keeper.exe"
    exec scripts/wine-session.sh "$0" "$@"
fi

# The group: first run, Save, Cancel, Esc; second launches (not two racing: emulated, a new
# instance outlasts a launch's 3 s wait); menu, F1, About; failed save; resources; framework.
checks=(
    "run_sequence_test RunSequence.FirstRunThenSaveWritesExactlyTheTenDefaults:RunSequence.FirstRunThenCancel*:RunSequence.EscapeWritesNothing:RunSequence.DialogOpensCentredOnTheWorkArea:RunSequence.ASecondLaunch*:RunSequence.ALaunchWhose*"
    "dialog_test SetupDialog.StoredValuesShowAsMarks"
    "keyboard_test SystemMenu.*:Keyboard.F1AndTheSystemMenu*"
    "hostile_registry_test */UnwritableKey.*"
    "layout_test *"
    "framework_test *"
)

passed=0 failed=0 skipped=0
# program NAME FILTER: one test program; its counts go into the totals.
program() {
    local name=$1 filter=$2 log rc=0 p f s
    log=$(mktemp)
    echo "== $name --gtest_filter=$filter"
    wine "$build/tests/e2e/$name.exe" --gtest_filter="$filter" 2>&1 | tee "$log" || rc=$?
    p=$(sed -n 's/^\[  PASSED  \] \([0-9]*\) test.*/\1/p' "$log")
    f=$(sed -n 's/^\[  FAILED  \] \([0-9]*\) test.*/\1/p' "$log")
    s=$(sed -n 's/^\[  SKIPPED \] \([0-9]*\) test.*/\1/p' "$log")
    rm -f "$log"
    if [ -z "$p$f" ] || { [ "$rc" -ne 0 ] && [ -z "$f" ]; }; then
        echo "suite: $name ended with status $rc and no count"
        f=1
    fi
    passed=$((passed + ${p:-0}))
    failed=$((failed + ${f:-0})) skipped=$((skipped + ${s:-0}))
}

case "${1:-}" in
    --checks)
        for entry in "${checks[@]}"; do program "${entry%% *}" "${entry#* }"; done ;;
    --suite)
        for exe in "$build"/tests/e2e/*_test.exe; do program "$(basename "$exe" .exe)" "*"; done ;;
    *) echo "usage: scripts/wine-suite.sh --checks | --suite" >&2; exit 2 ;;
esac
echo "suite: $passed passed, $failed failed, $skipped skipped ($(wine --version))"
[ "$failed" -eq 0 ]
