#!/usr/bin/env bash
# Builds the release preset and generates maps under build/: a large realistic one and one of
# 1.5 million one-point objects. For each, with --jobs 1 and with the default (one thread per
# core), it converts with an empty rule block and with the five-level script, to a file, to
# /dev/null, to standard output and to a pipe, printing input and output throughput and peak
# resident memory beside cat and dd of the same input, measured in the same run. Then a map of
# 1 GB shows that peak memory does not grow with the map.
#
# Then strict and lenient reading of the same map side by side: both scripts, run in turns,
# medians of several runs, with the ratio; then the five-level conversion of a map of 20 MB by
# zarvex and by bench/reference_convert.py (plain Python), with the ratio, checking that both
# write the same bytes; then the ring roles of a polygon of many rings.
#
# Usage: bench/run.sh [megabytes]          (default 200)
# ZARVEX_BENCH_BUILD=<build folder> uses an already configured build instead of the preset.
# ZARVEX_BENCH_RUNS=<n> sets the runs of the strict and lenient comparison (default 5).
# ZARVEX_BENCH_POINTS=<n> sets the objects of the map of points (default 1500000).
# ZARVEX_BENCH_HUGE=<megabytes> sets the size of the map for the memory check (default 1000;
# 0 leaves it out).
set -euo pipefail
cd "$(dirname "$0")/.."
size=${1:-200}
runs=${ZARVEX_BENCH_RUNS:-5}
points=${ZARVEX_BENCH_POINTS:-1500000}
huge=${ZARVEX_BENCH_HUGE:-1000}
build=${ZARVEX_BENCH_BUILD:-build/release}
if [[ -z "${ZARVEX_BENCH_BUILD:-}" ]]; then
  cmake --preset release >/dev/null
fi
cmake --build "$build" --target zarvex zarvex_bench_gen zarvex_bench_measure zarvex_bench_rings
zarvex=$(realpath "$build/converter/driver/zarvex")
measure=$(realpath "$build/bench/zarvex_bench_measure")
generate=$(realpath "$build/bench/zarvex_bench_gen")
rings=$(realpath "$build/bench/zarvex_bench_rings")
reference=$(realpath bench/reference_convert.py)
cores=$(nproc)

# Large maps stay inside the build folder and go when the script ends.
mkdir -p build
work=$(mktemp -d "$PWD/build/bench-work.XXXXXX")
trap 'rm -rf "$work"' EXIT

# row <name> <input bytes> <output bytes> <"seconds peak-kB status" from the runner>
row() {
  local seconds rss code
  read -r seconds rss code <<<"$4"
  if [[ $code -ne 0 ]]; then
    echo "$1: exit status $code" >&2
    exit 1
  fi
  awk -v n="$1" -v i="$2" -v o="$3" -v s="$seconds" -v r="$rss" 'BEGIN {
    printf "%-40s %8.1f %8.1f %8.3f %9.1f %9.1f %8.1f\n", n, i / 1e6, o / 1e6, s, i / 1e6 / s,
      o / 1e6 / s, r / 1024 }'
}

heading() {
  printf '%-40s %8s %8s %8s %9s %9s %8s\n' run "in MB" "out MB" seconds "in MB/s" "out MB/s" \
    "peak MB"
}

# convert <row name> <output: file, null, stdout or pipe> <zarvex arguments before the output...>
# Prints the row; sets `produced` to the output's size and `seconds` to the time taken.
convert() {
  local name=$1 to=$2 result
  shift 2
  case $to in
    file)
      result=$("$measure" /dev/null "$zarvex" "$@" out.mp 2>/dev/null)
      produced=$(stat -c %s out.mp)
      rm -f out.mp
      ;;
    null)
      result=$("$measure" /dev/null "$zarvex" "$@" /dev/null 2>/dev/null)
      ;;
    pipe)
      # A FIFO is a pipe to the program: it cannot be cut back, so each map is held back.
      mkfifo out.fifo
      wc -c <out.fifo >out.size &
      result=$("$measure" out.fifo "$zarvex" "$@" 2>/dev/null)
      wait
      produced=$(<out.size)
      rm -f out.fifo out.size
      ;;
    stdout)
      result=$("$measure" out.mp "$zarvex" "$@" 2>/dev/null)
      produced=$(stat -c %s out.mp)
      rm -f out.mp
      ;;
  esac
  seconds=${result%% *}
  row "$name" "$input" "$produced" "$result"
}

# bench_map <title>: the figures of big.mp in the current folder.
bench_map() {
  local jobs label one_job many_jobs result
  input=$(stat -c %s big.mp)
  echo
  echo "$1, $(awk -v i="$input" 'BEGIN { printf "%.1f MB", i / 1e6 }'), $cores cores:"
  heading
  result=$("$measure" /dev/null cat big.mp)
  row "cat to /dev/null" "$input" "$input" "$result"
  result=$("$measure" cat.mp cat big.mp)
  row "cat to a file" "$input" "$input" "$result"
  rm -f cat.mp
  # What the disk allows when the file must be on it before the run ends, as zarvex's is.
  result=$("$measure" /dev/null dd if=big.mp of=dd.mp bs=1M conv=fsync status=none)
  row "dd conv=fsync to a file" "$input" "$input" "$result"
  rm -f dd.mp
  result=$("$measure" /dev/null sh -c 'cat big.mp | cat >/dev/null')
  row "cat to a pipe" "$input" "$input" "$result"
  for jobs in 1 "$cores"; do
    label="--jobs $jobs"
    [[ $jobs == "$cores" ]] && label="default ($cores)"
    convert "$label, empty block, to a file" file --jobs "$jobs" rules_empty.cfg
    empty=$produced
    convert "$label, five levels, to a file" file --jobs "$jobs" -m K-12-3 rules_levels.cfg
    levels=$produced
    convert "$label, five levels, to stdout" stdout --jobs "$jobs" -m K-12-3 rules_levels.cfg
    produced=$levels
    convert "$label, five levels, to a pipe" pipe --jobs "$jobs" -m K-12-3 rules_levels.cfg
    convert "$label, five levels, to /dev/null" null --jobs "$jobs" -m K-12-3 rules_levels.cfg
    if [[ $jobs == 1 ]]; then one_job=$seconds; else many_jobs=$seconds; fi
  done
  awk -v a="$one_job" -v b="$many_jobs" 'BEGIN {
    printf "default / --jobs 1, five levels to /dev/null: %.2f x\n", a / b }'
}

mkdir "$work/large" "$work/points"
"$generate" "$size" "$work/large"
"$generate" --points "$points" "$work/points"
(cd "$work/points" && bench_map "map of $points one-point objects")
rm -rf "$work/points"
cd "$work/large"
bench_map "realistic map of $size MB"
echo "targets: peak <= 64 MB everywhere; default: empty block >= 350 MB/s in, five levels to a"
echo "         file >= 1000 MB/s out, >= 1.7 x --jobs 1 to /dev/null"

if ((huge > 0)); then
  mkdir "$work/huge"
  "$generate" "$huge" "$work/huge"
  (
    cd "$work/huge"
    input=$(stat -c %s big.mp)
    echo
    echo "memory against the map's size, empty block, to a file:"
    heading
    convert "map of $huge MB" file rules_empty.cfg
  )
  rm -rf "$work/huge"
  echo "target: the same peak as the smaller maps"
fi

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
  row "$name" "$input" "$output" "$strict"
  row "  --lenient" "$input" "$output" "$lenient"
  awk -v a="${strict%% *}" -v b="${lenient%% *}" 'BEGIN {
    printf "%-40s %8.3f\n", "  lenient / strict", b / a }'
}

echo
echo "strict and lenient reading, medians of $runs runs each, to /dev/null:"
compare "zarvex empty block" "$empty" rules_empty.cfg
compare "zarvex five levels" "$levels" -m K-12-3 rules_levels.cfg
echo "target: lenient at most 1.05 x strict"

echo
if command -v python3 >/dev/null; then
  # The same conversion in plain Python, on a smaller map: medians of three runs each, and the
  # outputs compared byte for byte.
  mkdir "$work/python"
  (
    cd "$work/python"
    "$generate" 20 . >/dev/null
    input=$(stat -c %s big.mp)
    zarvexRuns="" pythonRuns=""
    for i in 1 2 3; do
      zarvexRuns+="$("$measure" /dev/null "$zarvex" -m K-12-3 rules_levels.cfg out.mp 2>/dev/null)"$'\n'
      pythonRuns+="$("$measure" /dev/null python3 "$reference" -m K-12-3 \
        rules_levels.cfg reference.mp 2>/dev/null)"$'\n'
    done
    cmp -s out.mp reference.mp || { echo "the Python output differs from zarvex's" >&2; exit 1; }
    produced=$(stat -c %s out.mp)
    echo "against plain Python (bench/reference_convert.py), five levels to a file, medians of 3:"
    heading
    zarvexRuns=$(printf '%s' "$zarvexRuns" | median)
    pythonRuns=$(printf '%s' "$pythonRuns" | median)
    row "zarvex, default jobs" "$input" "$produced" "$zarvexRuns"
    row "python3" "$input" "$produced" "$pythonRuns"
    awk -v a="${zarvexRuns%% *}" -v b="${pythonRuns%% *}" 'BEGIN {
      printf "%-40s %8.1f\n", "  python / zarvex", b / a }'
    echo "target: at least 50 x; the outputs are the same bytes"
  )
  rm -rf "$work/python"
  echo
fi
echo "ring roles of one polygon of small rings (every pair tested only up to 10^5 rings):"
"$rings" 100000 1000000
echo "target: 10^6 rings in seconds"
