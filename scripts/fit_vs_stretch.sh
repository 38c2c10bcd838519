#!/bin/bash
# Writes OUTPUT.png (say docs/fit-vs-stretch.png): one wide 16:9 clip with a
# ring on it, converted with `--fit fit` and with `--fit stretch`, a middle
# frame of each side by side, enlarged twice with whole pixels so the player's
# 256x192 frame stays sharp. The ring stays round on bars, or becomes an oval.
# Usage: fit_vs_stretch.sh BUILD_DIR OUTPUT.png
set -euo pipefail

convert_program=$(realpath "$1")/cli/vantrel-convert
output=$(realpath -m "$2")

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# A ring on the moving test picture: a circle is where a squash shows first.
ring="between(hypot(X-W/2,Y-H/2),H*0.30,H*0.36)"
ffmpeg -nostdin -v error \
  -f lavfi -i testsrc2=size=1280x720:rate=24:duration=3 \
  -f lavfi -i sine=frequency=440:duration=3 \
  -vf "geq=lum='if($ring,235,lum(X,Y))':cb='if($ring,128,cb(X,Y))':cr='if($ring,128,cr(X,Y))'" \
  -c:v mpeg4 -q:v 3 -c:a mp2 -y "$work/fit.mp4"
# The converted file is named after its source, so each fit gets a copy.
cp "$work/fit.mp4" "$work/stretch.mp4"

"$convert_program" --fit fit "$work/fit.mp4" >/dev/null
"$convert_program" --fit stretch "$work/stretch.mp4" >/dev/null

# The captions need a font; without one the pictures still go out, unlabelled
# (left is Fit, right is Stretch).
font=/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf
caption() {
  if [ -f "$font" ]; then
    echo ",pad=iw:ih+28:0:28:white,drawtext=fontfile=$font:text=$1:fontsize=18:x=(w-tw)/2:y=5"
  fi
}

ffmpeg -nostdin -v error -ss 1.5 -i "$work/fit.d3v" -ss 1.5 -i "$work/stretch.d3v" \
  -filter_complex "[0:v]scale=iw*2:ih*2:flags=neighbor$(caption Fit),pad=iw+8:ih:0:0:white[a];\
[1:v]scale=iw*2:ih*2:flags=neighbor$(caption Stretch)[b];[a][b]hstack" \
  -frames:v 1 -update 1 -y "$output"
echo "fit_vs_stretch: wrote $output"
