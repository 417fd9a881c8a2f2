#!/bin/sh
# Builds the decoder's libFuzzer target with clang (AddressSanitizer and
# UBSan on) and runs it for the given number of seconds (default 60) on a
# corpus started from libtiff-coded streams. Crashes are left in the build
# directory as crash-* files.
#   scripts/fuzz.sh [SECONDS] [JOBS]
set -eu
seconds=${1:-60}
jobs=${2:-1}
root=$(cd "$(dirname "$0")/.." && pwd)
build=$root/build-fuzz
CC=clang CXX=clang++ cmake -S "$root" -B "$build" -DZKALL_BUILD_FUZZ=ON -DZKALL_SANITIZE=ON \
  -DZKALL_BUILD_TESTS=OFF -DZKALL_BUILD_TOOLS=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" --target decoder_fuzz decoder_fuzz_corpus -j2
corpus=$build/decoder_corpus
mkdir -p "$corpus"
"$build/fuzz/decoder_fuzz_corpus" "$corpus"
cd "$build"
if [ "$jobs" -gt 1 ]; then
  set -- -jobs="$jobs" -workers="$jobs"  # each worker logs to fuzz-N.log here
else
  set --
fi
exec "$build/fuzz/decoder_fuzz" -max_total_time="$seconds" -max_len=8192 -print_final_stats=1 "$@" "$corpus"
