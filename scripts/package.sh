#!/usr/bin/env bash
# Builds the packages into build/packages/: the Debian package of zarvex and visualzarvex (CPack),
# checked with lintian and desktop-file-validate, and the Windows zip of zarvex.exe and
# visualzarvex-generate.exe with their documents and examples.
# --deb or --zip builds only the one.
set -euo pipefail
cd "$(dirname "$0")/.."
deb=1 zip=1
case "${1:-}" in
  "") ;;
  --deb) zip=0 ;;
  --zip) deb=0 ;;
  *) echo "usage: $0 [--deb | --zip]" >&2; exit 2 ;;
esac
out=$PWD/build/packages
mkdir -p "$out"
version=$(sed -n 's/^project(zarvex VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)

if ((deb)); then
  scripts/install-deps.sh --package
  cmake --preset package
  cmake --build --preset package
  (cd build/package && cpack -G DEB -B "$out")
  package=$(ls "$out"/zarvex_"$version"_*.deb)
  dpkg-deb --info "$package"
  dpkg-deb --contents "$package"
  # Lintian's findings are printed; errors fail the build, as does any finding of the desktop
  # entry's validator but its hints.
  lintian --fail-on error "$package"
  desktop-file-validate --no-hints gui/ui/visualzarvex.desktop
fi

if ((zip)); then
  scripts/install-deps.sh --windows --package
  cmake --preset windows
  cmake --build --preset windows --target zarvex visualzarvex-generate
  stage=$(mktemp -d "$out/zip.XXXXXX")
  trap 'rm -rf "$stage"' EXIT
  dir=$stage/zarvex-$version-windows
  mkdir -p "$dir"
  cp build/windows/converter/driver/zarvex.exe "$dir"/
  cp build/windows/gui/io/visualzarvex-generate.exe "$dir"/
  # Windows' editors expect CR LF in text files.
  crlf() { sed 's/\r$//; s/$/\r/' "$1" >"$2"; }
  crlf README.md "$dir"/README.txt
  MANWIDTH=80 man -l -Tutf8 -P cat converter/driver/zarvex.1 2>/dev/null | col -bx >"$stage"/man.txt
  crlf "$stage"/man.txt "$dir"/zarvex.txt
  mkdir -p "$dir"/examples
  cp -r examples/. "$dir"/examples/
  zipfile=$out/zarvex-$version-windows-x86_64.zip
  rm -f "$zipfile"
  (cd "$stage" && zip -qr -X "$zipfile" "zarvex-$version-windows")
  unzip -l "$zipfile"

  # As a user has it: unpacked, a work on the example map generated (the files are named after
  # the map, as the window program names them) and converted under wine.
  rm -rf "$stage"/*
  unzip -q "$zipfile" -d "$stage"
  export WINEPREFIX=$stage/wineprefix WINEDEBUG=-all
  mkdir -p "$WINEPREFIX"
  wineserver -p
  trap 'wineserver -k 2>/dev/null || true; wineserver -w 2>/dev/null || true; rm -rf "$stage"' EXIT
  wineboot --init >/dev/null 2>&1
  examples=$dir/examples
  map=$(winepath -w "$examples/town.mp")
  sed "s|@MAP@|${map//\\/\\\\}|" gui/io/testdata/generate/village.set >"$examples/work.set"
  (cd "$dir" && wine visualzarvex-generate.exe --generate 'examples\work.set' --types 'examples\types' --run)
  converted=$(grep -ciE '^\[(polyline|polygon|poi)\]' "$examples/town_multilevel.mp" || true)
  if ! grep -q '^\[IMG ID\]' "$examples/town_multilevel.mp" || ((converted == 0)); then
    echo "the example's conversion under wine gave no map" >&2
    exit 1
  fi
  echo "visualzarvex-generate.exe converted the example under wine: $converted objects"
fi
