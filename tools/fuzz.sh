#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs each fuzz target of a libFuzzer build for a while, from its seed corpus
# in the tree. New inputs go to <build>/corpus/<target>, inputs that break a
# property or crash to <build>/findings/; the seed corpus is left as it is.
# Prints one line per target (executions, and what it found) and fails when
# any target found something.
#
#   tools/fuzz.sh <build folder> [seconds per target, default 60]
set -euo pipefail
build=$1 seconds=${2:-60}
seeds="$(cd "$(dirname "$0")/.." && pwd)/tests/fuzz/corpus"
mkdir -p "$build/findings"
found=0
summary=()
for target in "$build"/tests/fuzz/*_fuzz; do
  name=$(basename "$target")
  work="$build/corpus/$name"
  mkdir -p "$work"
  log="$build/findings/$name.log"
  status=0
  "$target" -max_total_time="$seconds" -print_final_stats=1 -timeout=10 \
    -artifact_prefix="$build/findings/$name-" "$work" "$seeds/$name" >"$log" 2>&1 || status=$?
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
  if [ "$status" -eq 0 ]; then
    summary+=("$name: ${runs:-?} executions, nothing found")
  else
    found=1
    summary+=("$name: ${runs:-?} executions, FOUND: $(grep -m1 -E 'property failed|ERROR|SUMMARY' "$log" || echo "exit $status") (see $log)")
  fi
done
printf '%s\n' "${summary[@]}"
exit "$found"
