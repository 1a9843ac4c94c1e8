#!/usr/bin/env bash
# Installs the Debian packages that building and testing need; does nothing when all are present.
set -euo pipefail
packages=(cmake ninja-build g++ libgtest-dev libgmock-dev qt6-base-dev qt6-translations-l10n)
for option in "$@"; do
  case "$option" in
    --fuzz) packages+=(clang libclang-rt-14-dev) ;;
    # The cross compiler, GoogleTest's sources to build for it, and wine to run the tests.
    --windows) packages+=(g++-mingw-w64-x86-64-posix googletest wine wine64) ;;
    --package) packages+=(lintian desktop-file-utils zip man-db groff-base file dpkg-dev) ;;
    *) echo "usage: $0 [--fuzz] [--windows] [--package]" >&2; exit 2 ;;
  esac
done
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  sudo=""
  [[ $(id -u) -ne 0 ]] && sudo="sudo"
  $sudo apt-get update
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${missing[@]}"
fi
