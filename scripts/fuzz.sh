#!/usr/bin/env bash
# Builds the fuzz targets and runs each for the given number of seconds (default 60), starting
# from seeds taken from the tests and examples. Fails on the first crash, leak, hang or blow-up;
# the input that caused it is left in build/fuzz/findings/.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
shift || true
targets=("$@")
((${#targets[@]})) || targets=(tokenizer_fuzz map_reader_fuzz config_parser_fuzz conversion_fuzz gui_files_fuzz)

scripts/install-deps.sh --fuzz
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz --target "${targets[@]}"

work=$PWD/build/fuzz/work
findings=$PWD/build/fuzz/findings
rm -rf "$findings" && mkdir -p "$findings"

# Seeds: every map, script and header of the examples and test data, plus the regression cases.
seed() {
  local target=$1 dir=$work/$1
  rm -rf "$dir" && mkdir -p "$dir"
  local maps scripts
  maps=$(find examples converter gui -name '*.mp' -size -200k 2>/dev/null || true)
  scripts=$(find examples converter -name '*.cfg' -size -200k 2>/dev/null || true)
  case $target in
    tokenizer_fuzz) for f in $maps $scripts; do cp "$f" "$dir/$(basename "$f").$RANDOM"; done ;;
    map_reader_fuzz) for f in $maps; do cp "$f" "$dir/$(basename "$f").$RANDOM"; done ;;
    config_parser_fuzz) for f in $scripts; do cp "$f" "$dir/$(basename "$f").$RANDOM"; done ;;
    conversion_fuzz)
      for f in $maps; do
        { printf 'file "map.mp" { case type=0x2f { label="x"; } case kind=line { layer_max=2; } }\n%%%%%%%%\n'
          printf 'ID=%%\nName=$\n\n%%%%%%%%\n'; cat "$f"; } >"$dir/$(basename "$f").$RANDOM"
      done ;;
    gui_files_fuzz)
      # The first byte chooses the reader: 0 map scan, 1 type catalogue, 2 settings file.
      for f in $maps; do { printf '\000'; cat "$f"; } >"$dir/$(basename "$f").$RANDOM"; done
      for f in $(find examples gui -name '*.dat' -size -200k 2>/dev/null); do
        { printf '\001'; cat "$f"; } >"$dir/$(basename "$f").$RANDOM"
      done
      for f in $(find examples gui -name '*.set' -size -200k 2>/dev/null); do
        { printf '\002'; cat "$f"; } >"$dir/$(basename "$f").$RANDOM"
      done ;;
  esac
  if [[ -d fuzz/regressions/$target ]]; then cp fuzz/regressions/"$target"/* "$dir"/ 2>/dev/null || true; fi
}

for target in "${targets[@]}"; do
  seed "$target"
  dict=$PWD/fuzz/mp.dict
  [[ $target == config_parser_fuzz ]] && dict=$PWD/fuzz/script.dict
  echo "== $target: ${seconds}s"
  # Regression inputs must pass first, so that a fixed finding stays fixed.
  if [[ -d fuzz/regressions/$target ]] && compgen -G "$PWD/fuzz/regressions/$target/*" >/dev/null; then
    build/fuzz/fuzz/"$target" -runs=0 fuzz/regressions/"$target"/* >/dev/null 2>&1 ||
      { echo "$target: a regression input fails again"; exit 1; }
  fi
  log=build/fuzz/$target.log
  status=0
  build/fuzz/fuzz/"$target" "$work/$target" -dict="$dict" -max_total_time="$seconds" \
    -timeout=10 -rss_limit_mb=2048 -max_len=65536 -close_fd_mask=1 \
    -artifact_prefix="$findings/$target-" -print_final_stats=1 2>"$log" || status=$?
  grep -v -e '^Unknown attribute: ' -e '^Processing: ' -e '^File not found: ' "$log" | tail -n 40
  if ((status != 0)) || compgen -G "$findings/$target-*" >/dev/null; then
    echo "$target: failed (exit $status); findings in $findings, log in $log"
    exit 1
  fi
done
echo "fuzzing: no findings"
