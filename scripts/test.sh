#!/bin/sh
# The whole test suite: installs what is missing, builds and runs every test
# twice (optimised as a release is built, then under AddressSanitizer and
# UndefinedBehaviorSanitizer) and checks that the 32-bit Windows DLL
# cross-builds with mingw-w64. Every build here treats warnings as errors
# (ZKALL_WERROR); the optimised one catches the warnings only -O3 brings.
# Usage: scripts/test.sh            (from anywhere in the checkout)
set -eu
cd "$(dirname "$0")/.."
jobs=$(nproc 2>/dev/null || echo 2)

scripts/deps.sh

echo "== optimised (Release) build and tests"
cmake -S . -B build/test -DCMAKE_BUILD_TYPE=Release -DZKALL_WERROR=ON >/dev/null
cmake --build build/test -j"$jobs"
ctest --test-dir build/test -j"$jobs" --output-on-failure

echo "== AddressSanitizer + UndefinedBehaviorSanitizer"
cmake -S . -B build/asan -DCMAKE_BUILD_TYPE=Debug -DZKALL_SANITIZE=ON -DZKALL_WERROR=ON >/dev/null
cmake --build build/asan -j"$jobs"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  ctest --test-dir build/asan -j"$jobs" --output-on-failure

echo "== 32-bit Windows DLL (mingw-w64)"
cmake -S . -B build/win32 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake -DCMAKE_BUILD_TYPE=Release \
  -DZKALL_WERROR=ON -DZKALL_BUILD_TESTS=OFF -DZKALL_BUILD_TOOLS=OFF >/dev/null
cmake --build build/win32 -j"$jobs"
ls -l build/win32/ZKALL.dll

echo "== all tests passed"
