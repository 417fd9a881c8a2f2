#!/bin/sh
# The whole test suite: installs what is missing, builds and runs every test
# twice (normally, then under AddressSanitizer and UndefinedBehaviorSanitizer),
# checks that the 32-bit Windows DLL cross-builds with mingw-w64, and runs the
# Windows build of the suite under Wine (scripts/test_wine.sh; "not run"
# where Wine cannot run).
# Usage: scripts/test.sh            (from anywhere in the checkout)
set -eu
cd "$(dirname "$0")/.."
jobs=$(nproc 2>/dev/null || echo 2)

scripts/deps.sh

echo "== normal build and tests"
cmake -S . -B build/test -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build/test -j"$jobs"
ctest --test-dir build/test -j"$jobs" --output-on-failure

echo "== AddressSanitizer + UndefinedBehaviorSanitizer"
cmake -S . -B build/asan -DCMAKE_BUILD_TYPE=Debug -DZKALL_SANITIZE=ON >/dev/null
cmake --build build/asan -j"$jobs"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  ctest --test-dir build/asan -j"$jobs" --output-on-failure

echo "== 32-bit Windows DLL (mingw-w64)"
cmake -S . -B build/win32 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake -DCMAKE_BUILD_TYPE=Release \
  -DZKALL_BUILD_TESTS=OFF -DZKALL_BUILD_TOOLS=OFF >/dev/null
cmake --build build/win32 -j"$jobs"
ls -l build/win32/ZKALL.dll

echo "== Windows test suite under Wine (64-bit)"
wine_status=0
scripts/test_wine.sh || wine_status=$?
if [ "$wine_status" -eq 77 ]; then
  echo "== all tests passed, but the Windows tests under Wine were not run"
elif [ "$wine_status" -ne 0 ]; then
  exit "$wine_status"
else
  echo "== all tests passed"
fi
