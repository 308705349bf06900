#!/usr/bin/env bash
# Generates a pending-links file and a processed-links file of N lines each, times `cat` of
# both, runs the queue benchmarks on them and prints the comparison.
#   bench/execution/run_queue_bench.sh BUILD_DIR|BENCH_PROGRAM [LINES]
set -euo pipefail

target=${1:?usage: run_queue_bench.sh BUILD_DIR|BENCH_PROGRAM [LINES]}
lines=${2:-1000000}
bin="$target"
[[ -d "$target" ]] && bin="$target/bin/harvexa_execution_bench"
[[ -x "$bin" ]] || { echo "no $bin: configure with -DHARVEXA_BUILD_BENCH=ON and build harvexa_execution_bench" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

"$bin" --generate "$work" "$lines" "$lines"
pending="$work/pristine-lack.dat"
processed="$work/pristine-lack_p.dat"

# Best of five, with the files in the page cache as the benchmark has them.
cat "$pending" "$processed" > /dev/null
best_cat=""
for _ in 1 2 3 4 5; do
    start=$(date +%s%N)
    cat "$pending" "$processed" > /dev/null
    elapsed=$(( $(date +%s%N) - start ))
    if [[ -z "$best_cat" || $elapsed -lt $best_cat ]]; then best_cat=$elapsed; fi
done
cat_ms=$(awk -v ns="$best_cat" 'BEGIN { printf "%.1f", ns / 1e6 }')

run() { # benchmark name -> prints "wall_ms cpu_ms peak_rss_mb"
    local report="$work/$1.csv" timing="$work/$1.time"
    HARVEXA_HOME="$work" /usr/bin/time -v -o "$timing" \
        "$bin" --benchmark_filter="^$1/" --benchmark_format=csv > "$report" 2> /dev/null
    local times rss
    times=$(awk -F, -v name="\"$1/iterations:3\"" '$1 == name { print $3, $4 }' "$report")
    rss=$(awk -F: '/Maximum resident set size/ { printf "%.0f", $2 / 1024 }' "$timing")
    echo "$times $rss"
}

read -r read_ms read_cpu read_rss < <(run BM_ReadPendingLinks)
read -r load_ms load_cpu load_rss < <(run BM_LoadPendingLinksIntoQueue)

ratio() { awk -v a="$1" -v b="$cat_ms" 'BEGIN { printf "%.1f", a / b }'; }
size_mb=$(du -m --apparent-size "$pending" "$processed" | awk '{ s += $1 } END { print s }')
echo
echo "files: $lines pending lines + $lines processed lines, $size_mb MB; machine: $(nproc) cores, load $(cut -d' ' -f1 /proc/loadavg)"
printf '%-46s %10s %10s %8s %14s\n' "operation" "wall (ms)" "cpu (ms)" "x cat" "peak RSS (MB)"
printf '%-46s %10s %10s %8s %14s\n' "cat both files > /dev/null (best of 5)" "$cat_ms" "-" "1.0" "-"
printf '%-46s %10.1f %10.1f %8s %14s\n' "read + filter + parse (ReadPendingLinks)" "$read_ms" "$read_cpu" \
    "$(ratio "$read_ms")" "$read_rss"
printf '%-46s %10.1f %10.1f %8s %14s\n' "continue path (CLLinkQueue::LoadPendingLinks)" "$load_ms" "$load_cpu" \
    "$(ratio "$load_ms")" "$load_rss"
echo
HARVEXA_HOME="$work" "$bin" --benchmark_filter='SeenRecently' 2> /dev/null
