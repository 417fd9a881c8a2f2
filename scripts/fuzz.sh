#!/bin/sh
# Builds a libFuzzer target with clang (AddressSanitizer and UBSan on) and
# runs it for the given number of seconds (default 60). Crashes are left in
# the build directory as crash-* files.
#   scripts/fuzz.sh [SECONDS] [JOBS] [TARGET]
# TARGET: decoder (default; the illustration decoder, on a corpus started
# from libtiff-coded streams) or iso (the ISO 9660 image reader, on a corpus
# started from images made by xorriso).
set -eu
seconds=${1:-60}
jobs=${2:-1}
target=${3:-decoder}
root=$(cd "$(dirname "$0")/.." && pwd)
build=$root/build-fuzz
CC=clang CXX=clang++ cmake -S "$root" -B "$build" -DZKALL_BUILD_FUZZ=ON -DZKALL_SANITIZE=ON \
  -DZKALL_BUILD_TESTS=OFF -DZKALL_BUILD_TOOLS=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
corpus=$build/${target}_corpus
mkdir -p "$corpus"
case $target in
  decoder)
    cmake --build "$build" --target decoder_fuzz decoder_fuzz_corpus -j2
    "$build/fuzz/decoder_fuzz_corpus" "$corpus"
    max_len=8192 ;;
  iso)
    "$root/scripts/deps.sh" xorriso
    cmake --build "$build" --target iso_fuzz -j2
    src=$build/iso_corpus_src
    rm -rf "$src" && mkdir -p "$src/CAT/SUB"
    printf 'root master' >"$src/ZKROOTMF.MST"
    printf 'names' >"$src/CAT/HINM01.DAT"
    printf 'x' >"$src/CAT/SUB/NOEXT"
    xorriso -as mkisofs -quiet -no-pad -V "19990401E1 EPC" -o "$corpus/small.iso" "$src" 2>/dev/null
    max_len=131072 ;;
  *) echo "unknown fuzz target $target (decoder or iso)" >&2; exit 2 ;;
esac
cd "$build"
if [ "$jobs" -gt 1 ]; then
  set -- -jobs="$jobs" -workers="$jobs"  # each worker logs to fuzz-N.log here
else
  set --
fi
exec "$build/fuzz/${target}_fuzz" -max_total_time="$seconds" -max_len=$max_len -print_final_stats=1 "$@" "$corpus"
