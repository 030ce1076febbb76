#!/usr/bin/env bash
# Runs the soak test: many consecutive runs of the tool under Wine, each with random
# clicks, a random device line or none and a random way of closing, checked against
# a model of what must be stored.
#   scripts/soak.sh [RUNS [SEED]]     (100 runs, a fresh seed; the seed is printed)
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-100}
seed=${2:-$(( $(date +%s) % 100000 ))}

scripts/bootstrap.sh
source scripts/wine-flavour.sh
cmake --preset "$VAREK_WINE_PRESET" >/dev/null
cmake --build --preset "$VAREK_WINE_PRESET" -j "$(nproc)"
echo "soak: $runs runs, seed $seed (replay with: scripts/soak.sh $runs $seed)"
VAREK_SOAK_RUNS=$runs VAREK_SOAK_SEED=$seed \
VAREK_WINE_KEEPER="$PWD/build/$VAREK_WINE_PRESET/tests/e2e/wine_keeper.exe" \
    scripts/wine-session.sh ctest --preset "$VAREK_WINE_PRESET" -R '^Soak\.' --timeout 3600 -V | grep -E 'soak:|Failure|tests passed|tests failed'
