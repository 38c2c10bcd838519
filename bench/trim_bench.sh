#!/usr/bin/env bash
# What a start deep into a long source costs: a 5 s part from 29:40 of a
# half-hour clip with a keyframe every 10 s, converted by vantrel-convert
# (which enters the source at the start), against ffmpeg decoding up to the
# start (the start given after -i) and against decoding the whole source.
# Usage: bench/trim_bench.sh BUILD_DIR [FFMPEG]. PAIRS sets the runs (median).
set -euo pipefail

build=$(cd "${1:?usage: bench/trim_bench.sh BUILD_DIR [FFMPEG]}" && pwd)
ffmpeg=${2:-$(command -v ffmpeg)}
cli=$build/cli/vantrel-convert
pairs=${PAIRS:-3}
work=$(mktemp -d "${TMPDIR:-/tmp}/vantrel-trim-XXXXXX")
trap 'rm -rf "$work"' EXIT

median() { sort -g | awk '{ v[NR] = $1 } END { if (NR % 2) print v[(NR + 1) / 2]; else print (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
seconds() { local t0 t1; t0=$(date +%s.%N); "$@" > /dev/null 2>&1; t1=$(date +%s.%N); awk -v a="$t0" -v b="$t1" 'BEGIN { printf "%.3f\n", b - a }'; }

source=$work/long.mp4
echo "Making a 30 min 640x360 25 fps h264/aac clip, a keyframe every 10 s..."
"$ffmpeg" -nostdin -hide_banner -loglevel error -y -f lavfi -i testsrc2=size=640x360:rate=25 \
  -f lavfi -i sine=frequency=440:sample_rate=48000 -t 1800 -c:v libx264 -preset ultrafast -g 250 \
  -keyint_min 250 -pix_fmt yuv420p -c:a aac -f mp4 "$source"

: > "$work/ours"; : > "$work/after"; : > "$work/whole"
for ((i = 1; i <= pairs; i++)); do
  PATH=$(dirname "$ffmpeg"):$PATH seconds "$cli" --no-normalize --start 29:40 --end 29:45 -o "$work" "$source" >> "$work/ours"
  seconds "$ffmpeg" -nostdin -y -i "$source" -ss 1780 -t 5 -vf fps=12,scale=256:192 -c:v mpeg1video -strict -2 -c:a mp2 \
    -ar 22050 -ac 1 -f mpeg "$work/after.mpg" >> "$work/after"
  seconds "$ffmpeg" -nostdin -y -i "$source" -f null - >> "$work/whole"
done
length=$(ffprobe -v error -show_entries format=duration -of csv=p=0 "$work/long.d3v")
awk -v l="$length" 'BEGIN { exit !(l > 4.9 && l < 5.2) }' || { echo "the part converted lasts $length s, not 5" >&2; exit 1; }
printf '%-44s %8s\n' "5 s from 29:40 of a 30 min source" "seconds"
printf '%-44s %8.2f\n' "vantrel-convert --start 29:40 --end 29:45" "$(median < "$work/ours")"
printf '%-44s %8.2f\n' "ffmpeg with the start after -i" "$(median < "$work/after")"
printf '%-44s %8.2f\n' "decoding the whole source" "$(median < "$work/whole")"
