#!/bin/bash
# Writes OUTPUT.png (say docs/subtitles.png): the frame a converted 16:9 clip
# shows while a subtitle file beside it, written in Windows-1252 with accented
# letters, has a line up, enlarged twice with whole pixels. The line is drawn
# in the player's own size, in the bar under the picture.
# Usage: subtitle_picture.sh BUILD_DIR OUTPUT.png
set -euo pipefail

convert_program=$(realpath "$1")/cli/vantrel-convert
output=$(realpath -m "$2")

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

ffmpeg -nostdin -v error \
  -f lavfi -i mandelbrot=size=1280x720:rate=24,trim=duration=6 \
  -f lavfi -i sine=frequency=440:duration=6 \
  -c:v libx264 -pix_fmt yuv420p -c:a aac -y "$work/Café.mp4"
# "Ça, c'est déjà très réussi !" in Windows-1252, as old subtitle files are.
printf '1\r\n00:00:02,000 --> 00:00:04,000\r\n\307a, c'"'"'est d\351j\340 tr\350s r\351ussi !\r\n' \
  >"$work/Café.srt"

"$convert_program" "$work/Café.mp4" >/dev/null
ffmpeg -nostdin -v error -ss 3 -i "$work/café.d3v" -vf scale=iw*2:ih*2:flags=neighbor \
  -frames:v 1 -update 1 -y "$output"
echo "subtitle_picture: wrote $output"
