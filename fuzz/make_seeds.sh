#!/bin/sh
# Seeds the fuzzer's corpus with real ffmpeg output from tests/data.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
corpus=$1
mkdir -p "$corpus/parser_fuzzer"
i=0
for f in "$root"/tests/data/*.txt; do
  # The input starts with two bytes choosing the read size and the needle.
  for size in '\001\377' '\000\144' '\000\015'; do
    i=$((i + 1))
    { printf "$size"; cat "$f"; } > "$corpus/parser_fuzzer/seed-$i"
  done
  # Single lines, where the primitives' references bite hardest.
  grep -a -E 'Duration:|time=|Video: |Audio: |Subtitle: ' "$f" | head -20 | while IFS= read -r line; do
    i=$((i + 1))
    printf '\000\005%s' "$line" > "$corpus/parser_fuzzer/line-$i-$(printf %s "$line" | cksum | cut -d' ' -f1)"
  done
done
