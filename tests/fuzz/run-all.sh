#!/usr/bin/env bash
# Runs every fuzz target of the fuzz build one after the other, each for the given seconds, and
# prints each one's executions and findings. The exit status is 1 when any target found something.
#   run-all.sh <fuzz build folder> <seconds>
set -uo pipefail
build=$1 seconds=$2
here=$(cd "$(dirname "$0")" && pwd)
failed=0
for source in "$here"/fuzz_*.cpp; do
  name=$(basename "$source" .cpp)
  bash "$here/run-fuzz.sh" "$build/$name" "$seconds" "$build/run" || failed=1
done
exit $failed
