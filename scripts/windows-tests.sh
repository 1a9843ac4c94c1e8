#!/usr/bin/env bash
# Cross-builds zarvex.exe, visualzarvex-generate.exe and their tests (the converter's and those of
# the window program's logic) for 64-bit Windows, checks that the programs need no DLL outside
# Windows, and runs the tests as Windows programs under wine in a prefix of its own, made fresh for
# every run. The generation tests run the batch files they write through wine's cmd.
set -euo pipefail
cd "$(dirname "$0")/.."
start=$SECONDS
scripts/install-deps.sh --windows
cmake --preset windows
cmake --build --preset windows

# Only Windows' own DLLs may be imported: anything else would have to be shipped beside the .exe.
for exe in build/windows/converter/driver/zarvex.exe build/windows/gui/io/visualzarvex-generate.exe; do
  dlls=$(x86_64-w64-mingw32-objdump -p "$exe" | sed -n 's/^[[:space:]]*DLL Name: //p')
  foreign=$(grep -viE '^(kernel32|msvcrt|shell32|user32|advapi32|ws2_32)\.dll$' <<<"$dlls" || true)
  if [[ -n $foreign ]]; then
    echo "$exe needs DLLs that Windows does not have: $foreign" >&2
    exit 1
  fi
  echo "$exe imports only: $(tr '\n' ' ' <<<"$dlls")"
done

export WINEPREFIX=$PWD/build/windows/wineprefix WINEDEBUG=-all
rm -rf "$WINEPREFIX"
mkdir -p "$WINEPREFIX"
# One wine server for the whole run: without it each test's server lingers for seconds after its
# last process and the next test waits for it. It is started before the prefix is filled, since
# the server that wineboot would start lingers too, and a second one refuses to start beside it.
wineserver -p
trap 'wineserver -k 2>/dev/null || true; wineserver -w 2>/dev/null || true' EXIT
# Made once before the tests, so that they do not race to create it.
wineboot --init >/dev/null 2>&1
# One at a time: the Windows C library names its temporary files from a sequence that every
# process starts alike, so that tests running side by side would take each other's files.
# wine now and then fails to start a process at all: a test counts as failed only when it fails
# three times in a row, as a real fault does.
ctest --preset windows --repeat until-pass:3
echo "Windows tests: $((SECONDS - start)) s"
