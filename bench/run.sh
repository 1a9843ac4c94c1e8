#!/usr/bin/env bash
# Builds the release preset, generates a large map in a temporary folder and converts it twice
# (an empty rule block; the five-level script), printing throughput and peak resident memory
# beside cat of the same input.
#
# Then strict and lenient reading of the same map side by side: both scripts, run in turns,
# medians of several runs, with the ratio; then the ring roles of a polygon of many rings.
#
# Usage: bench/run.sh [megabytes]          (default 200)
# ZARVEX_BENCH_BUILD=<build folder> uses an already configured build instead of the preset.
# ZARVEX_BENCH_RUNS=<n> sets the runs of the strict and lenient comparison (default 5).
set -euo pipefail
cd "$(dirname "$0")/.."
size=${1:-200}
runs=${ZARVEX_BENCH_RUNS:-5}
build=${ZARVEX_BENCH_BUILD:-build/release}
if [[ -z "${ZARVEX_BENCH_BUILD:-}" ]]; then
  cmake --preset release >/dev/null
fi
cmake --build "$build" --target zarvex zarvex_bench_gen zarvex_bench_measure zarvex_bench_rings
zarvex=$(realpath "$build/converter/driver/zarvex")
measure=$(realpath "$build/bench/zarvex_bench_measure")
generate=$(realpath "$build/bench/zarvex_bench_gen")
rings=$(realpath "$build/bench/zarvex_bench_rings")

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$generate" "$size" "$work"
cd "$work"
input=$(stat -c %s big.mp)

# row <name> <output bytes> <"seconds peak-kB status" from the runner>
row() {
  local seconds rss code output=$2
  read -r seconds rss code <<<"$3"
  if [[ $code -ne 0 ]]; then
    echo "$1: exit status $code" >&2
    exit 1
  fi
  awk -v n="$1" -v i="$input" -v o="$output" -v s="$seconds" -v r="$rss" 'BEGIN {
    printf "%-20s %8.1f %8.1f %8.3f %9.1f %9.1f %8.1f\n", n, i / 1e6, o / 1e6, s, i / 1e6 / s,
      o / 1e6 / s, r / 1024 }'
}

printf '%-20s %8s %8s %8s %9s %9s %8s\n' run "in MB" "out MB" seconds "in MB/s" "out MB/s" "peak MB"
result=$("$measure" cat.mp cat big.mp)
row "cat" "$(stat -c %s cat.mp)" "$result"
rm -f cat.mp
result=$("$measure" /dev/null "$zarvex" rules_empty.cfg empty.mp 2>/dev/null)
empty=$(stat -c %s empty.mp)
row "zarvex empty block" "$empty" "$result"
rm -f empty.mp
result=$("$measure" /dev/null "$zarvex" -m K-12-3 rules_levels.cfg levels.mp 2>/dev/null)
levels=$(stat -c %s levels.mp)
row "zarvex five levels" "$levels" "$result"
rm -f levels.mp
# The same run without the file system's share, to tell the converter's time from the disk's.
result=$("$measure" /dev/null "$zarvex" -m K-12-3 rules_levels.cfg /dev/null 2>/dev/null)
row "  to /dev/null" "$levels" "$result"
# What the file system itself takes to write as much, so that the disk's share is visible.
start=$(date +%s.%N)
dd if=/dev/zero of=dd.out bs=1M count=$((levels / 1048576)) status=none
end=$(date +%s.%N)
awk -v o="$levels" -v a="$start" -v b="$end" 'BEGIN {
  printf "%-20s %8s %8.1f %8.3f %9s %9.1f\n", "dd, same size", "-", o / 1e6, b - a, "-", o / 1e6 / (b - a) }'
rm -f dd.out

# "<median seconds> <median peak kB> 0" of the runner's lines on standard input.
median() {
  local lines column
  lines=$(cat)
  for column in 1 2; do
    printf '%s\n' "$lines" | awk -v c=$column '{ print $c }' | sort -n |
      awk '{ v[NR] = $1 } END { printf "%s ", v[int((NR + 1) / 2)] }'
  done
  echo 0
}

# compare <name> <output bytes> <arguments>: strict and lenient runs in turns, to /dev/null so
# that the disk's noise stays out.
compare() {
  local name=$1 output=$2 strict="" lenient="" r i
  shift 2
  for ((i = 0; i < runs; i++)); do
    r=$("$measure" /dev/null "$zarvex" "$@" /dev/null 2>/dev/null)
    [[ ${r##* } -eq 0 ]] || { echo "$name: exit status ${r##* }" >&2; exit 1; }
    strict+="$r"$'\n'
    r=$("$measure" /dev/null "$zarvex" --lenient "$@" /dev/null 2>/dev/null)
    [[ ${r##* } -eq 0 ]] || { echo "$name --lenient: exit status ${r##* }" >&2; exit 1; }
    lenient+="$r"$'\n'
  done
  strict=$(printf '%s' "$strict" | median)
  lenient=$(printf '%s' "$lenient" | median)
  row "$name" "$output" "$strict"
  row "  --lenient" "$output" "$lenient"
  awk -v a="${strict%% *}" -v b="${lenient%% *}" 'BEGIN {
    printf "%-20s %8.3f\n", "  lenient / strict", b / a }'
}

echo
echo "strict and lenient reading, medians of $runs runs each, to /dev/null:"
compare "zarvex empty block" "$empty" rules_empty.cfg
compare "zarvex five levels" "$levels" -m K-12-3 rules_levels.cfg
echo "targets: empty block >= 150 MB/s in; five levels >= 400 MB/s out; peak <= 2 x input;"
echo "         lenient at most 1.05 x strict"

echo
echo "ring roles of one polygon of small rings (every pair tested only up to 10^5 rings):"
"$rings" 100000 1000000
echo "target: 10^6 rings in seconds"
