#!/bin/sh
# The test suite built as 64-bit Windows programs with mingw-w64 and run
# under Wine (wine64): every test folder that tests/CMakeLists.txt builds,
# against the same installations (Wine's own drives, defined through its
# mount manager, and .windows-label files). The Wine prefix lives in the
# build tree, with the graphics driver "null" so that windows exist without
# a display; one wineserver is kept alive for the whole run.
# Usage: scripts/test_wine.sh      (scripts/test.sh runs it)
# Prints "not run" in one line and exits 77 when Wine cannot run here.
set -eu
cd "$(dirname "$0")/.."
jobs=$(nproc 2>/dev/null || echo 2)
build=build/win64

# The 64-bit loader itself: Debian's "wine" prefers the 32-bit one once
# wine32 is installed, which a kernel without 32-bit support cannot run.
loader=""
for candidate in /usr/lib/wine/wine64 "$(command -v wine64 || true)"; do
  if [ -n "$candidate" ] && [ -x "$candidate" ]; then loader=$candidate; break; fi
done
server=/usr/lib/wine/wineserver64
[ -x "$server" ] || server=$(command -v wineserver || true)
if [ -z "$loader" ] || [ -z "$server" ] || ! command -v x86_64-w64-mingw32-g++-posix >/dev/null 2>&1; then
  echo "== Windows tests under Wine: not run (wine64 or mingw-w64 for x86_64 missing)"
  exit 77
fi
started=$(date +%s)

cmake -S . -B "$build" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-x86_64.cmake -DCMAKE_BUILD_TYPE=Debug \
  -DZKALL_BUILD_TOOLS=OFF -DCMAKE_CROSSCOMPILING_EMULATOR="$loader" >/dev/null
cmake --build "$build" -j"$jobs"

WINEPREFIX="$PWD/$build/wineprefix"
WINEDEBUG=-all
WINEDLLOVERRIDES="mscoree,mshtml="  # no Mono or Gecko installer prompts
WINELOADER=$loader
WINESERVER=$server
export WINEPREFIX WINEDEBUG WINEDLLOVERRIDES WINELOADER WINESERVER
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  if ! "$loader" wineboot --init >/dev/null 2>&1 ||
     ! "$loader" reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f >/dev/null 2>&1; then
    rm -rf "$WINEPREFIX"
    echo "== Windows tests under Wine: not run (wine cannot start a prefix on this machine)"
    exit 77
  fi
fi
"$server" -k 2>/dev/null || true   # a server left from an earlier run of this prefix
"$server" -p                      # one server for every test program
# Start the prefix's services once, before the first test program is timed.
if ! timeout 300 "$loader" cmd /c exit 0 >/dev/null 2>&1; then
  "$server" -k 2>/dev/null || true
  echo "== Windows tests under Wine: not run (wine cannot run a program on this machine)"
  exit 77
fi
status=0
ctest --test-dir "$build" --output-on-failure || status=$?
"$server" -k 2>/dev/null || true
echo "== Windows tests under Wine: $(( $(date +%s) - started )) s (build and run)"
exit $status
