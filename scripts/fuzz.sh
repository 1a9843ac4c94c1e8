#!/usr/bin/env bash
# Builds the fuzz targets and runs each of them, starting from seeds taken from the tests and
# examples, after every input of fuzz/regressions/<target>/.
#
#   scripts/fuzz.sh [SECONDS] [TARGET...]   fuzz each target for SECONDS (default 60)
#   scripts/fuzz.sh --ci [TARGET...]        a fixed seed and a fixed number of runs per target
#
# A finding (crash, sanitizer report, leak, timeout, memory blow-up) is run again alone, with a
# generous time limit. Only one that fails again counts: its bytes are printed as base64, so that
# they outlive the build folder, and the script exits 1. One that passes alone (a unit slowed by
# a busy machine, say) is reported and not counted. Findings stay in build/fuzz/findings/.
set -euo pipefail
cd "$(dirname "$0")/.."

all_targets=(tokenizer_fuzz map_reader_fuzz config_parser_fuzz conversion_fuzz gui_files_fuzz)
# Runs per target in --ci mode: about a minute each on an idle core.
declare -A ci_runs=([tokenizer_fuzz]=500000 [map_reader_fuzz]=500000 [config_parser_fuzz]=1000000
                    [conversion_fuzz]=50000 [gui_files_fuzz]=200000)

mode=time seconds=60
if [[ ${1:-} == --ci ]]; then
  mode=ci
  shift
elif [[ ${1:-} =~ ^[0-9]+$ ]]; then
  seconds=$1
  shift
fi
targets=("$@")
((${#targets[@]})) || targets=("${all_targets[@]}")
for target in "${targets[@]}"; do
  [[ -n ${ci_runs[$target]:-} ]] || { echo "fuzz.sh: unknown target: $target" >&2; exit 2; }
done

scripts/install-deps.sh --fuzz
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz --target "${targets[@]}"

bin=$PWD/build/fuzz/fuzz
work=$PWD/build/fuzz/work
findings=$PWD/build/fuzz/findings
rm -rf "$findings" && mkdir -p "$findings"

# Seeds, named after their paths so that every run starts from the same corpus in the same order.
seed() {
  local target=$1 dir=$work/$1 f name
  rm -rf "$dir" && mkdir -p "$dir"
  local inputs
  mapfile -t inputs < <(find examples converter gui \( -name '*.mp' -o -name '*.cfg' -o -name '*.dat' \
                          -o -name '*.set' \) -size -200k 2>/dev/null | LC_ALL=C sort)
  for f in "${inputs[@]}"; do
    name=$dir/${f//\//_}
    case $target:$f in
      tokenizer_fuzz:*.mp | tokenizer_fuzz:*.cfg | map_reader_fuzz:*.mp | config_parser_fuzz:*.cfg)
        cp "$f" "$name" ;;
      conversion_fuzz:*.mp)
        { printf 'file "map.mp" { case type=0x2f { label="x"; } case kind=line { layer_max=2; } }\n%%%%%%%%\n'
          printf 'ID=%%\nName=$\n\n%%%%%%%%\n'; cat "$f"; } >"$name" ;;
      # The first byte chooses the reader: 0 map scan, 1 type catalogue, 2 settings file.
      gui_files_fuzz:*.mp) { printf '\000'; cat "$f"; } >"$name" ;;
      gui_files_fuzz:*.dat) { printf '\001'; cat "$f"; } >"$name" ;;
      gui_files_fuzz:*.set) { printf '\002'; cat "$f"; } >"$name" ;;
    esac
  done
  if compgen -G "fuzz/regressions/$target/*" >/dev/null; then cp fuzz/regressions/"$target"/* "$dir"/; fi
}

# Runs one input alone with generous limits; prints the verdict. Returns 1 when it fails again.
# In --ci mode the address space is laid out the same every run where the system allows it:
# comparisons of addresses feed the fuzzer's choices too, so randomisation would vary its path.
fixed=()
[[ $mode == ci ]] && setarch "$(uname -m)" -R true 2>/dev/null && fixed=(setarch "$(uname -m)" -R)

faults=0
judge() {
  local target=$1 input=$2 log=$2.alone.log
  if "$bin/$target" -timeout=120 -rss_limit_mb=2048 -close_fd_mask=1 "$input" >"$log" 2>&1; then
    [[ $input == *-regression-* ]] || echo "$target: $(basename "$input") passes when run alone: not counted"
    return 0
  fi
  echo "$target: $(basename "$input") fails again when run alone:"
  grep -E -m 5 'ERROR|SUMMARY|runtime error|Timeout|out-of-memory' "$log" || tail -n 5 "$log"
  echo "---- $target input, base64 (decode with: base64 -d) ----"
  base64 -w 76 "$input"
  echo "---- end of $target input ----"
  faults=$((faults + 1))
  return 1
}

for target in "${targets[@]}"; do
  seed "$target"
  dict=$PWD/fuzz/mp.dict
  [[ $target == config_parser_fuzz ]] && dict=$PWD/fuzz/script.dict
  for input in fuzz/regressions/"$target"/*; do
    [[ -f $input ]] || continue
    cp "$input" "$findings/$target-regression-$(basename "$input")"
    judge "$target" "$findings/$target-regression-$(basename "$input")" || true
  done

  limit=(-max_total_time="$seconds")
  [[ $mode == ci ]] && limit=(-runs="${ci_runs[$target]}" -seed=1 -reload=0)
  echo "== $target: ${limit[*]}"
  log=build/fuzz/$target.log
  status=0
  start=$SECONDS
  "${fixed[@]}" "$bin/$target" "$work/$target" -dict="$dict" "${limit[@]}" \
    -timeout=10 -rss_limit_mb=2048 -max_len=65536 -close_fd_mask=1 \
    -artifact_prefix="$findings/$target-" -print_final_stats=1 2>"$log" || status=$?
  grep -E -e '^#[0-9]+[[:space:]]+DONE' -e '^stat::(number_of_executed_units|peak_rss_mb)' "$log" || true
  echo "$target: exit $status after $((SECONDS - start)) s"
  found=0
  for input in "$findings/$target"-*; do
    [[ -f $input && $input != *.log && $input != *-regression-* ]] || continue
    if [[ $input == *-slow-unit-* ]]; then
      echo "$target: $(basename "$input") was slow, which is no failure"
      continue
    fi
    found=1
    judge "$target" "$input" || true
  done
  if ((status != 0 && !found)); then
    echo "$target: the fuzzer failed without a finding; its log ends:"
    tail -n 20 "$log"
    faults=$((faults + 1))
  fi
done

if ((faults)); then
  echo "fuzzing: $faults finding(s) fail again alone"
  exit 1
fi
echo "fuzzing: no finding that fails again"
