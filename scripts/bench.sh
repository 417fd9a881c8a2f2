#!/bin/sh
# The benchmarks, side by side with their peers in one run each:
#   catalog_lookup_bench  keyed lookups of the indexed-file engine against
#                         SQLite (WITHOUT ROWID table, prepared statement) on
#                         a one-million-record file set, ratios in processor
#                         and in wall time; the block reads per lookup that
#                         reach the files: first lookup on a fresh handle, a
#                         run on one handle, and open-lookup-close per name
#   image_decode_bench    the illustration decoder against libtiff's on
#                         full-size 1616 x 1158 illustrations, fed in pieces
#                         and whole; five runs of each in random order, the
#                         summary table from their medians
# Usage: scripts/bench.sh [catalog|image] [extra Google Benchmark options]
set -eu
cd "$(dirname "$0")/.."
jobs=$(nproc 2>/dev/null || echo 2)

scripts/deps.sh cmake g++ make pkg-config libbenchmark-dev libsqlite3-dev libtiff-dev libpng-dev

cmake -S . -B build/bench -DCMAKE_BUILD_TYPE=Release -DZKALL_BUILD_BENCH=ON -DZKALL_BUILD_TESTS=OFF >/dev/null
cmake --build build/bench -j"$jobs" --target catalog_lookup_bench image_decode_bench

which=${1:-all}
[ $# -gt 0 ] && shift
case "$which" in
  catalog|all) build/bench/bench/catalog_lookup_bench --benchmark_repetitions=3 \
                 --benchmark_report_aggregates_only=true "$@" ;;
esac
case "$which" in
  image|all) build/bench/bench/image_decode_bench --benchmark_repetitions=5 \
               --benchmark_enable_random_interleaving=true --benchmark_min_time=0.2 \
               --benchmark_report_aggregates_only=true "$@" ;;
esac
