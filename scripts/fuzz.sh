#!/bin/sh
# Fuzzing: builds the libFuzzer targets with clang (AddressSanitizer and
# UBSan on) and runs every target, or one, for the given number of seconds
# each (default 60), one after the other under nice: one job at a time, so
# the machine stays usable for others.
#   scripts/fuzz.sh [SECONDS] [TARGET]
# Targets: the NAME_fuzz.cpp files of fuzz/ (decoder image config texts
# engine open). Each works on its own corpus in build-fuzz/corpus/TARGET,
# started from fuzz/corpus/TARGET and kept from run to run; at the end of a
# run the corpus is merged down to the inputs that add coverage. Findings
# (crash-*, timeout-*, oom-*, leak-*) are left in build-fuzz/findings/TARGET
# and listed at the end, with exit status 1. Each run's totals (executions,
# rate over the wall clock and over the processor time it had, coverage, the
# machine's load) are appended to build-fuzz/fuzz-totals.log for the table
# in fuzz/README.md.
# ZKALL_FUZZ_KNOWN=1 has the targets step round the open findings listed in
# fuzz/README.md; ZKALL_FUZZ_OPTIONS adds libFuzzer options.
set -eu
seconds=${1:-60}
only=${2:-}
root=$(cd "$(dirname "$0")/.." && pwd)
build=$root/build-fuzz
targets=$(cd "$root/fuzz" && ls *_fuzz.cpp | sed 's/_fuzz\.cpp$//')
if [ -n "$only" ]; then
  echo "$targets" | grep -qx "$only" || { echo "no fuzz target '$only' (have: $(echo $targets))" >&2; exit 2; }
  targets=$only
fi

launcher=
command -v ccache >/dev/null 2>&1 && launcher=-DCMAKE_CXX_COMPILER_LAUNCHER=ccache
CC=clang CXX=clang++ cmake -S "$root" -B "$build" -DZKALL_BUILD_FUZZ=ON -DZKALL_SANITIZE=ON \
  -DZKALL_BUILD_TESTS=OFF -DZKALL_BUILD_TOOLS=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo $launcher >/dev/null
for t in $targets; do
  nice -n 10 cmake --build "$build" --target "${t}_fuzz" -j2
done

machine="$(nproc) cores, $(sed -n 's/^model name[[:space:]]*: //p' /proc/cpuinfo | head -1)"
findings_total=0
for t in $targets; do
  corpus=$build/corpus/$t
  findings=$build/findings/$t
  log=$build/fuzz-$t.log
  mkdir -p "$corpus" "$findings"
  before=$(ls "$findings" | wc -l)
  echo "== $t: $seconds s"
  # The working corpus first (new inputs go there), the repository's after.
  set +e
  # A small quarantine and short allocation stacks: the speed of many small
  # inputs (a finding is replayed in full with NAME_replay).
  ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:quarantine_size_mb=16:malloc_context_size=5 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    /usr/bin/time -o "$log.time" -f "%U %S %e" nice -n 10 "$build/fuzz/${t}_fuzz" -max_total_time="$seconds" \
    -timeout=10 -rss_limit_mb=2048 \
    -malloc_limit_mb=1024 -print_final_stats=1 -artifact_prefix="$findings/" ${ZKALL_FUZZ_OPTIONS:-} \
    "$corpus" "$root/fuzz/corpus/$t" >"$log" 2>&1
  status=$?
  set -e
  # Keep only the inputs that add coverage.
  merged=$build/corpus/$t.merged
  rm -rf "$merged" && mkdir -p "$merged"
  if nice -n 10 "$build/fuzz/${t}_fuzz" -merge=1 "$merged" "$corpus" >"$log.merge" 2>&1; then
    rm -rf "$corpus" && mv "$merged" "$corpus"
  fi
  execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log" | tail -1)
  cov=$(grep -o 'cov: [0-9]* ft: [0-9]*' "$log" | tail -1)
  # The rate over the processor time the run had, beside the rate over the
  # wall clock (which a busy machine lowers).
  cpu_rate=$(tail -1 "$log.time" | awk -v e="${execs:-0}" '{ t = $1 + $2; if (t > 0) printf "%d", e / t; else print "?" }')
  elapsed=$(tail -1 "$log.time" | awk '{ printf "%d", $3 }')
  load=$(cut -d' ' -f1 /proc/loadavg)
  line="$(date -u +%Y-%m-%dT%H:%MZ) $t ${elapsed}s execs=${execs:-?} rate=${rate:-?}/s cpu_rate=${cpu_rate}/s ${cov:-cov: ?} corpus=$(ls "$corpus" | wc -l) exit=$status load=$load machine=\"$machine\""
  echo "$line" | tee -a "$build/fuzz-totals.log"
  after=$(ls "$findings" | wc -l)
  if [ "$after" -gt "$before" ]; then
    findings_total=$((findings_total + after - before))
    echo "   findings in $findings (log: $log):"
    ls -t "$findings" | head -n $((after - before)) | sed 's/^/     /'
  fi
done
[ "$findings_total" -eq 0 ] || { echo "== $findings_total new finding(s)"; exit 1; }
echo "== no findings"
