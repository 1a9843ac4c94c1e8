#!/usr/bin/env bash
# The map view of the window program on a generated map: first pictures (reading and conversion
# included) and redraws, beside cat and a plain conversion of the same map.
#
# Usage: bench/preview.sh [megabytes|MAP.mp]   (default 20 MB generated)
# ZARVEX_BENCH_BUILD=<build folder> uses an already configured build instead of the preset.
set -euo pipefail
cd "$(dirname "$0")/.."
size=${1:-20}
build=${ZARVEX_BENCH_BUILD:-build/release}
if [[ -z "${ZARVEX_BENCH_BUILD:-}" ]]; then
  cmake --preset release >/dev/null
fi
cmake --build "$build" --target zarvex zarvex_bench_gen visualzarvex_bench_preview
if [[ -f "$size" ]]; then
  "$build/bench/visualzarvex_bench_preview" "$size" "$build/converter/driver/zarvex"
  exit
fi
# The generated map stays under the build folder and goes when the run ends.
work=$(mktemp -d "$build/bench-preview.XXXXXX")
trap 'rm -rf "$work"' EXIT
"$build/bench/zarvex_bench_gen" "$size" "$work"
"$build/bench/visualzarvex_bench_preview" "$work" "$build/converter/driver/zarvex"
