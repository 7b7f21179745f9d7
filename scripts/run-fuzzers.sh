#!/usr/bin/env bash
# Runs every fuzz target of a KAVO_FUZZ build at once, each for the given seconds, starting from
# the seed corpus in the tree; what they find new is kept in the build folder, never in the tree.
# Prints each target's executions; fails when any target finds a crash or a broken property.
set -euo pipefail
build=${1:?build folder}
seconds=${2:-20}
root="$(cd "$(dirname "$0")/.." && pwd)"

pids=()
names=()
for target in "$build"/fuzz/fuzz_*; do
  name=$(basename "$target")
  name=${name#fuzz_}
  mkdir -p "$build/fuzz/found/$name" "$build/fuzz/artifacts/$name"
  # Key and settings files are short: longer inputs add time, not structure. A smaller
  # quarantine and no fill of new blocks keep the sanitizer's cost per input down.
  ASAN_OPTIONS=quarantine_size_mb=16:max_malloc_fill_size=0 \
  "$target" -max_total_time="$seconds" -max_len=1024 -print_final_stats=1 -timeout=10 -rss_limit_mb=2048 \
    -artifact_prefix="$build/fuzz/artifacts/$name/" \
    "$build/fuzz/found/$name" "$root/fuzz/corpus/$name" >"$build/fuzz/$name.log" 2>&1 &
  pids+=($!)
  names+=("$name")
done

status=0
for i in "${!pids[@]}"; do
  name=${names[$i]}
  if wait "${pids[$i]}"; then
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$build/fuzz/$name.log")
    echo "fuzz $name: ${runs:-?} executions in ${seconds} s, nothing found"
  else
    status=1
    echo "fuzz $name: FAILED (log: $build/fuzz/$name.log)"
    tail -n 40 "$build/fuzz/$name.log"
  fi
done
exit $status
