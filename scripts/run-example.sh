#!/usr/bin/env bash
# Installs what is missing, builds the converter and converts the shipped example map.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
scripts/install-deps.sh
cmake --preset release
cmake --build --preset release --target zarvex
mkdir -p build/example
# The rule script names its map relative to itself, so the conversion runs in examples/.
(cd examples && "$root/build/release/converter/driver/zarvex" -h town.txt -m K-12-3 town.cfg \
  "$root/build/example/town_multilevel.mp")
echo "Converted map: build/example/town_multilevel.mp (code page 1251)"
