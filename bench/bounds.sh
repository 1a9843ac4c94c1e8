#!/usr/bin/env bash
# Time and peak resident memory of the converter on inputs that used to grow without bound: one
# huge label, a large header template, an endless template, and a label grown by many appends.
#
# Usage: bench/bounds.sh [label megabytes]          (default 300)
# ZARVEX_BENCH_BUILD=<build folder> uses an already configured build instead of the preset.
set -euo pipefail
cd "$(dirname "$0")/.."
size=${1:-300}
build=${ZARVEX_BENCH_BUILD:-build/release}
if [[ -z "${ZARVEX_BENCH_BUILD:-}" ]]; then
  cmake --preset release >/dev/null
fi
cmake --build "$build" --target zarvex zarvex_bench_measure
zarvex=$(realpath "$build/converter/driver/zarvex")
measure=$(realpath "$build/bench/zarvex_bench_measure")

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"

# row <name> <input bytes> <"seconds peak-kB status" from the runner>
row() {
  local seconds rss code
  read -r seconds rss code <<<"$3"
  awk -v n="$1" -v i="$2" -v s="$seconds" -v r="$rss" -v c="$code" 'BEGIN {
    printf "%-34s %9.1f %8.3f %9.1f %5d\n", n, i / 1e6, s, r / 1024, c }'
}

poi='[POI]\nType=0x2f\nData0=(55.5,37.25)\n[END]\n'
printf "[IMG ID]\nID=1\n[END-IMG ID]\n$poi" >poi.mp
{
  printf '[IMG ID]\nID=1\n[END-IMG ID]\n[POI]\nType=0x2f\nLabel='
  head -c $((size * 1000000)) /dev/zero | tr '\0' 'a'
  printf '\nData0=(55.5,37.25)\n[END]\n'
} >label.mp
echo 'file "label.mp" { }' >label.cfg
printf 'file "label.mp" {\n  case label = "x" { type = 1; }\n}\n' >label_compared.cfg
echo 'file "poi.mp" { }' >poi.cfg
head -c 50000000 /dev/zero | tr '\0' '%' >template.txt
{
  echo 'file "poi.mp" {'
  for ((i = 0; i < 200000; i++)); do echo '  label += "x";'; done
  echo '}'
} >appends.cfg
: >header.txt

printf '%-34s %9s %8s %9s %5s\n' run "in MB" seconds "peak MB" exit
row "label of ${size} MB, empty block" "$(stat -c %s label.mp)" \
  "$("$measure" /dev/null "$zarvex" label.cfg /dev/null 2>/dev/null)"
row "  label compared with a string" "$(stat -c %s label.mp)" \
  "$("$measure" /dev/null "$zarvex" label_compared.cfg /dev/null 2>/dev/null)"
row "template of 50 MB of '%'" "$(stat -c %s template.txt)" \
  "$("$measure" /dev/null "$zarvex" -h template.txt poi.cfg /dev/null 2>/dev/null)"
# Endless: the run ends only at the first failed write, exit status 1.
row "template /dev/zero to /dev/full" 0 \
  "$("$measure" /dev/null "$zarvex" -h /dev/zero poi.cfg /dev/full 2>/dev/null)"
row "label += \"x\" 200,000 times" "$(stat -c %s appends.cfg)" \
  "$("$measure" /dev/null "$zarvex" appends.cfg /dev/null 2>/dev/null)"
echo "targets: a label's peak about twice its size; templates in constant memory; appends in"
echo "         well under a second"
