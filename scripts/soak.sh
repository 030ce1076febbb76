#!/usr/bin/env bash
# Runs the soak test: many consecutive runs of the tool under Wine, each with random
# clicks (about half of them real mouse clicks and keys), a random device line or none
# and a random way of closing, checked against a model of what must be stored; a run in
# which Wine reports a fault of the tool fails too.
#   scripts/soak.sh [RUNS [SEED]]     (100 runs, a fresh seed; the seed is printed)
# Its time limit grows with the number of runs, where ctest's would cut a long soak short.
set -euo pipefail
. "$(dirname "$0")/lib.sh"
cd "$varek_root"
runs=${1:-100}
seed=${2:-$(( $(date +%s) % 100000 ))}
[[ $runs =~ ^[1-9][0-9]*$ && $seed =~ ^[0-9]+$ ]] || { echo "usage: scripts/soak.sh [RUNS [SEED]]" >&2; exit 2; }
# A run takes two to three seconds; ten each leave room for a loaded machine.
limit=$((runs * 10 + 120))
varek_host_wine varek_setup soak_test scripted_ddraw wine_keeper
build=build/$varek_preset
log=$build/soak.log errors=$build/soak-wine-errors.log
: >"$errors"
echo "soak: $runs runs, seed $seed (replay with: scripts/soak.sh $runs $seed), at most $limit s; log in $log"
rc=0
VAREK_SOAK_RUNS=$runs VAREK_SOAK_SEED=$seed VAREK_WINE_ERRORS="$varek_root/$errors" VAREK_EXE="$varek_root/$build/Varek Setup.exe" \
    timeout -k 20 "$limit" scripts/wine-session.sh "$build/tests/e2e/wine_keeper.exe" wine "$build/tests/e2e/soak_test.exe" \
    --gtest_filter='Soak.*' 2>>"$errors" | tee "$log" | grep -E --line-buffered '^soak:|Failure|run [0-9]+|FAILED|PASSED' ||
    rc=${PIPESTATUS[0]}
[ ! -s "$errors" ] || { echo "soak: Wine's error output ($errors):"; tail -n 20 "$errors"; }
case $rc in
    0) echo "soak: passed" ;;
    124 | 137) echo "soak: TIMED OUT after $limit s (limit for $runs runs); the last progress line above says how far it got" ;;
    *) echo "soak: FAILED (status $rc)" ;;
esac
exit "$rc"
