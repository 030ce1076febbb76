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
results=build/results
rm -rf "$results"
mkdir -p "$results"

# finish NAME STATUS PASSED FAILED DETAIL: one stage's line, kept in a file, so that stages
# may run side by side.
finish() { echo "$2|$3|$4|$1: $5" >>"$results/summary"; }

# stage NAME CTEST...: runs the ctest command line (in a root, if it says so), counted from
# ctest's JUnit report; a run of no test fails.
stage() {
    local name=$1 junit rc=0 t f s wine
    junit=$varek_root/$results/${name//[^A-Za-z0-9.]/_}.xml
    shift
    echo "== $name"
    "$@" --output-junit "$junit" || rc=$?
    read -r t f s < <(sed -n 's/^\s*\(tests\|failures\|skipped\)="\([0-9]*\)"$/\2/p' "$junit" 2>/dev/null | paste -sd' ')
    [ "${t:-0}" -gt 0 ] || { finish "$name" 1 0 1 "no test ran (status $rc)"; return; }
    [ "$rc" -eq 0 ] || [ "$f" -gt 0 ] || f=1
    wine=$(grep -om1 'under wine-[^<]*' "$junit")
    finish "$name" "$rc" "$((t - f - s))" "$f" "$((t - f - s)) passed, $f failed, $s skipped${wine:+, $wine}"
}

# beside ROOT NAME PRESET: the preset's ctest in the root, in the background once the root is
# built; its output is shown when the stages beside each other have ended.
beside() {
    local root=$1 name=$2
    {
        until grep -q '^roots: exit' "$results/$root.build.log"; do sleep 2; done
        if grep -q '^roots: exit 0' "$results/$root.build.log"; then
            stage "$name" scripts/roots.sh "$root" -- ctest --preset "$3"
        elif [ "$root" = sid-amd64 ]; then
            # Wine's WoW64 mode comes from Debian's unstable suite, which may not have it today.
            echo "0|0|0|$name: warning: not run: $(grep -m1 FAILED "$results/$root.build.log")" >>"$results/summary"
        else
            finish "$name" 1 0 1 "not run: $(grep -m1 FAILED "$results/$root.build.log")"
        fi
    } >"$results/$root.stage.log" 2>&1 &
}

# needs NAME GROUP...: true when the stage has its packages; else it fails, naming them.
needs() {
    local lack
    lack=$(scripts/bootstrap.sh --missing "${@:2}")
    [ -z "$lack" ] || { finish "$1" 1 0 1 "not run: packages missing: $lack"; return 1; }
}

echo "== packages"
varek_bootstrap test || finish bootstrap 1 0 1 "packages missing (above); the stages that need them are not run"

# The roots are built where not cached, each beside the host's stages.
roots=(bookworm-i386)
[ "$VAREK_RUNS_32BIT" = no ] || roots+=(trixie-i386 sid-amd64)
if needs roots roots; then
    for root in "${roots[@]}"; do
        { scripts/roots.sh "$root" --build; echo "roots: exit $?"; } >"$results/$root.build.log" 2>&1 &
    done
    echo "== the roots ${roots[*]}: built meanwhile where not cached ($results/*.build.log)"
fi

if needs host host && varek_build host && cmake --preset fuzz -D VAREK_FUZZ_SECONDS=30 >/dev/null && varek_build fuzz; then
    stage "host unit tests" ctest --preset host
    stage "fuzz targets, 30 s each" ctest --preset fuzz -j 2
fi
needs "Wine tests" windows && varek_build windows && stage "exe check" ctest --preset windows -L exe

if [ "$VAREK_RUNS_32BIT" = no ]; then
    # This kernel cannot run the shipped exe: the x86-64 build runs every Wine test here, and
    # the shipped exe the end-to-end group, emulated.
    needs roots roots vm && beside bookworm-i386 "e2e group, emulated bookworm-i386" e2e
    needs "Wine tests, windows64" wine && varek_build windows64 && stage "Wine tests, windows64" ctest --preset windows64
elif needs roots roots; then
    beside bookworm-i386 "Wine tests, bookworm-i386" wine
    beside trixie-i386 "Wine tests, trixie-i386" wine
    beside sid-amd64 "e2e group, WoW64 sid-amd64" e2e
    wait $!  # the shortest: the benchmark takes its place
fi

echo "== benchmark, quick: shows it still runs; its figures are not judged"
if scripts/benchmark.sh --quick; then finish benchmark 0 1 0 "ran, table in build/windows/benchmark-quick.txt"
else finish benchmark 1 0 1 "could not measure"
fi
wait
cat "$results"/*.build.log "$results"/*.stage.log 2>/dev/null

echo "== summary"
passed=0 failed=0 bad=""
while IFS='|' read -r status p f line; do
    passed=$((passed + p)) failed=$((failed + f))
    if [ "$status" -ne 0 ] || [ "$f" -gt 0 ]; then echo "${line/: /: FAILED, }"; bad+="${line%%:*}; "
    elif [[ $line == *warning:* ]]; then echo "$line"
    else echo "${line/: /: ok, }"
    fi
done <"$results/summary"
[ -z "$bad" ] || echo "failed stages: ${bad%; }"
echo "tests: $passed passed, $failed failed"
[ -z "$bad" ]
