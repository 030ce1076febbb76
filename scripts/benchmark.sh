#!/usr/bin/env bash
# Times Varek Setup.exe's start-up and memory against a baseline program that does only
# the platform work the tool cannot avoid, under Wine in a throwaway session, and keeps
# the table in build/windows/benchmark.txt.
#   scripts/benchmark.sh            31 runs of each program
#   scripts/benchmark.sh --quick    3 runs of each, table in build/windows/benchmark-quick.txt
# It reports against its goals but fails only when it cannot measure.
set -euo pipefail
. "$(dirname "$0")/lib.sh"
cd "$varek_root"

runs=31
out=build/windows/benchmark.txt
note=""
case "${1:-}" in
    --quick)
        runs=3
        out=build/windows/benchmark-quick.txt
        note="Quick run: it shows that the benchmark works; three runs say nothing about the goals."
        ;;
    "") ;;
    *) echo "usage: scripts/benchmark.sh [--quick]" >&2; exit 2 ;;
esac

varek_wine_place
# The exe as it ships is the 32-bit one; the programs that run under Wine come from the flavour's build.
varek_build windows varek_setup
varek_build "$VAREK_WINE_PRESET" varek_setup bench_baseline bench_driver scripted_ddraw wine_keeper
declare -A program
while IFS='=' read -r name path; do program[$name]=$path; done <"build/$VAREK_WINE_PRESET/bench/programs.txt"

# The exe as it ships (32-bit): its size once stripped, and the DLLs it imports.
shipped="build/windows/Varek Setup.exe"
stripped=$(mktemp)
cp "$shipped" "$stripped"
i686-w64-mingw32-strip "$stripped"
size=$(stat -c %s "$stripped")
rm -f "$stripped"
imports=$(i686-w64-mingw32-objdump -p "$shipped" | sed -n 's/^\s*DLL Name: //p' | tr 'A-Z' 'a-z' |
    sort -u | paste -sd ' ')

# The machine is shared: the load average is sampled while the programs run.
loads=$(mktemp)
table=$(mktemp)
sampler=""
cleanup() {
    [ -n "$sampler" ] && kill "$sampler" 2>/dev/null || true
    rm -f "$loads" "$table"
}
trap cleanup EXIT
load_before=$(cut -d' ' -f1-3 /proc/loadavg)
cpu_before=$(head -n 1 /proc/stat)
(while :; do cut -d' ' -f1 /proc/loadavg >>"$loads"; sleep 2; done) &
sampler=$!

echo "benchmark: $runs runs of each program under Wine; per-run figures follow, the table comes last"
rc=0
"${varek_wine_in[@]}" env VAREK_WINE_KEEPER="${program[keeper]}" scripts/wine-session.sh wine "${program[driver]}" \
    --runs "$runs" --tool "${program[tool]}" --baseline "${program[baseline]}" --ddraw "${program[ddraw]}" \
    --exe-size "$size" --imports "$imports" --allowed "$VAREK_ALLOWED_DLLS" >"$table" || rc=$?
cpu_after=$(head -n 1 /proc/stat)
kill "$sampler" 2>/dev/null || true
wait "$sampler" 2>/dev/null || true
sampler=""
if [ "$rc" -ne 0 ]; then
    echo "benchmark: the driver could not measure (status $rc)" >&2
    exit "$rc"
fi
echo "benchmark: counting server requests to the ready dialog"
if ! scripts/count-requests.sh >>"$table"; then
    echo "benchmark: the server requests could not be counted" >&2
    exit 1
fi

{
    echo "Varek Setup start-up benchmark, $(date -u '+%Y-%m-%d %H:%M UTC')"
    [ -z "$note" ] || echo "$note"
    echo "$("${varek_wine_in[@]}" wine --version), $(nproc) CPUs, $(sed -n 's/^model name\s*: //p' /proc/cpuinfo | head -n 1)"
    echo "load average before: $load_before; 1-min load while running: $(sort -n "$loads" |
        awk '{ v[NR] = $1; s += $1 } END { if (NR) printf "min %.2f, mean %.2f, max %.2f", v[1], s / NR, v[NR] }')"
    # From /proc/stat: the busy share of all CPUs (the benchmark's own processes count too),
    # and the time the virtual machine's CPUs waited for the host, taken by other guests.
    echo "$cpu_before" "$cpu_after" | awk '{ for (i = 2; i <= 11; i++) { t0 += $i; t1 += $(i + 11) }
        t = t1 - t0; idle = ($16 + $17) - ($5 + $6); steal = $20 - $9
        printf "CPUs busy while running: %.0f%%, the benchmark included; stolen by the host: %.1f%%\n",
            100 * (1 - idle / t), 100 * steal / t }'
    cat "$table"
} | tee "$out"
echo "benchmark: table written to $out"
