#!/bin/sh
# Runs every fuzzer for the given number of seconds on its seeded corpus and
# fails on the first finding.
#   fuzz/run_fuzzers.sh BUILD_DIR SECONDS
set -eu
build=$1
seconds=$2
root=$(cd "$(dirname "$0")/.." && pwd)
corpus=$build/corpus
artifacts=$build/fuzz-artifacts
mkdir -p "$artifacts"
"$root/fuzz/make_seeds.sh" "$corpus"
for name in parser_fuzzer; do
  log=$build/$name.log
  if ! "$build/fuzz/$name" -max_total_time="$seconds" -max_len=4096 -print_final_stats=1 \
      -artifact_prefix="$artifacts/$name-" "$corpus/$name" > "$log" 2>&1; then
    tail -40 "$log" >&2
    echo "$name found a problem; input saved in $artifacts" >&2
    exit 1
  fi
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
  echo "$name: $runs executions in ${seconds}s, no finding"
done
