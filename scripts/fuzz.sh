#!/usr/bin/env bash
# Builds the libFuzzer targets (clang, ASan, UBSan) and runs each for SECONDS (default 30)
# over a working copy of its seed corpus in build/fuzz; fails when any target finds a crash.
# The committed seeds in tests/fuzz/corpus/ are only read. Usage: scripts/fuzz.sh [SECONDS]
set -euo pipefail
. "$(dirname "$0")/lib.sh"
cd "$varek_root"

seconds=${1:-30}
# libFuzzer reads -max_total_time=0 as "no limit": at least one second.
if ! [[ $seconds =~ ^[0-9]+$ ]] || [ "$((10#$seconds))" -lt 1 ]; then
    echo "usage: $0 [SECONDS]" >&2
    exit 2
fi
seconds=$((10#$seconds))

varek_bootstrap host
varek_build fuzz

# New inputs that a run finds stay in build/fuzz/corpus/<target> for the next run.
failed=0
results=()
for target in settings devices; do
    fuzzer=build/fuzz/tests/fuzz/${target}_fuzz
    corpus=build/fuzz/corpus/$target
    artifacts=build/fuzz/artifacts/$target
    log=build/fuzz/$target.log
    mkdir -p "$corpus" "$artifacts"
    cp tests/fuzz/corpus/$target/* "$corpus/"
    echo "== $target: ${seconds}s, log in $log"
    rc=0
    "$fuzzer" -max_total_time="$seconds" -timeout=30 -print_final_stats=1 \
        -artifact_prefix="$artifacts/" "$corpus" >"$log" 2>&1 || rc=$?
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
    rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log")
    line="$target: ${runs:-?} runs, ${rate:-?} exec/s, corpus $(find "$corpus" -type f | wc -l) inputs"
    if [ "$rc" -ne 0 ]; then
        failed=1
        line+=", FAILED (exit $rc)"
        tail -n 40 "$log"
        echo "reproduce with: $fuzzer $(sed -n 's/.*Test unit written to //p' "$log" | tail -n 1)"
    fi
    echo "$line"
    results+=("$line")
done

joined=$(printf '%s; ' "${results[@]}")
echo "fuzz: ${joined%; }"
exit $failed
