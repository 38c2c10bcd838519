#!/bin/sh
# Seeds each fuzzer's corpus with real ffmpeg output from tests/data.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
corpus=$1
mkdir -p "$corpus/parser_fuzzer" "$corpus/scan_fuzzer"
i=0
for f in "$root"/tests/data/*.txt; do
  # The parser's input starts with two bytes choosing the chunk size.
  for size in '\001\377' '\000\144' '\000\015'; do
    i=$((i + 1))
    { printf "$size"; cat "$f"; } > "$corpus/parser_fuzzer/seed-$i"
  done
  # Single lines for the primitives.
  grep -a -E 'Duration:|time=|Video: ' "$f" | head -20 | while IFS= read -r line; do
    i=$((i + 1))
    printf '\005%s' "$line" > "$corpus/scan_fuzzer/seed-$i-$(printf %s "$line" | cksum | cut -d' ' -f1)"
  done
done
