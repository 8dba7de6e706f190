#!/usr/bin/env bash
# Runs one fuzz target for a number of seconds over its seeds (tests/fuzz/corpus/<reader>, never
# written) and a working corpus of its own, then prints its executions and findings. A finding
# (crash, sanitizer report, leak, timeout, memory limit) leaves its input in <work>/findings and
# makes the exit status 1.
#   run-fuzz.sh <fuzz target> <seconds> <work folder>
set -uo pipefail
binary=$1 seconds=$2 work=$3
name=$(basename "$binary")
reader=${name#fuzz_}
seeds=$(cd "$(dirname "$0")" && pwd)/corpus/$reader
if [ ! -x "$binary" ]; then
  echo "$name: not built (make fuzz-build)"
  exit 1
fi
mkdir -p "$work/corpus/$reader" "$work/findings"
log=$work/$name.log
"$binary" -max_total_time="$seconds" -print_final_stats=1 -timeout=10 -rss_limit_mb=2048 \
  -artifact_prefix="$work/findings/$name-" "$work/corpus/$reader" "$seeds" >"$log" 2>&1
status=$?
executions=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$' | tail -1)
findings=0
[ $status -eq 0 ] || findings=1
echo "$name: ${executions:-0} executions in $seconds s, $findings findings"
if [ $findings -ne 0 ]; then
  grep -E 'ERROR|SUMMARY|runtime error|Test unit written' "$log" | head -20
  exit 1
fi
