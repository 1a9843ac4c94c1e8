#!/usr/bin/env bash
# Builds the release preset, generates a large map in a temporary folder and converts it twice
# (an empty rule block; the five-level script), printing throughput and peak resident memory
# beside cat of the same input.
#
# Usage: bench/run.sh [megabytes]          (default 200)
# ZARVEX_BENCH_BUILD=<build folder> uses an already configured build instead of the preset.
set -euo pipefail
cd "$(dirname "$0")/.."
size=${1:-200}
build=${ZARVEX_BENCH_BUILD:-build/release}
if [[ -z "${ZARVEX_BENCH_BUILD:-}" ]]; then
  cmake --preset release >/dev/null
fi
cmake --build "$build" --target zarvex zarvex_bench_gen zarvex_bench_measure
zarvex=$(realpath "$build/converter/driver/zarvex")
measure=$(realpath "$build/bench/zarvex_bench_measure")
generate=$(realpath "$build/bench/zarvex_bench_gen")

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
row "zarvex empty block" "$(stat -c %s empty.mp)" "$result"
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
echo "targets: empty block >= 150 MB/s in; five levels >= 400 MB/s out; peak <= 2 x input"
