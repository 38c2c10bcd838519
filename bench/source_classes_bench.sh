#!/usr/bin/env bash
# One row for each kind of source (bench/make_source_classes.sh): the wall time
# of vantrel-convert against ffmpeg run by hand with the old words, of
# decoding alone, the picture's PSNR gain at the same size, how far the frames
# shown move from their moments, and the A/V sync.
# Usage: bench/source_classes_bench.sh BUILD_DIR FFMPEG CLASSES_DIR
# FFMPEG is run by vantrel-convert too (it comes first on the PATH). PAIRS
# (5) sets the runs of each; BEFORE_CLI, another vantrel-convert, adds its
# time as "before".
set -euo pipefail

build=$(cd "${1:?usage: BUILD_DIR FFMPEG CLASSES_DIR}" && pwd)
ffmpeg=$(realpath "${2:?}")
classes=${3:?}
cli=$build/cli/vantrel-convert
tool=$build/bench/engine_bench
pairs=${PAIRS:-5}
before=${BEFORE_CLI:-}
here=$(cd "$(dirname "$0")" && pwd)

work=$(mktemp -d "${TMPDIR:-/tmp}/vantrel-classes-XXXXXX")
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/bin" "$work/out"
ln -s "$ffmpeg" "$work/bin/ffmpeg"
export PATH=$work/bin:$PATH

field() { sed -n "s/.*\\b$1=\\([^ ]*\\).*/\\1/p" | tail -n 1; }
median() { sort -g | awk '{ v[NR] = $1 } END { if (NR % 2) print v[(NR + 1) / 2]; else print (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
wall() {
  local run; run=$("$tool" watch "$@")
  [[ $(field exit <<< "$run") == 0 ]] || { echo "failed: $*" >&2; exit 1; }
  field wall_s <<< "$run"
}
old_words() { # SOURCE TARGET
  echo "$ffmpeg" -nostdin -y -i "$1" -b:v 256k -strict -2 -s 256x192 -r 12 -f mpeg -vcodec mpeg1video \
    -b:a 64k -ar 22050 -ac 1 -acodec mp2 "$2"
}

# The luma of each frame, one "SECONDS LUMA" line each, on ffmpeg's own
# timeline for the file (its start at 0).
lumas() {
  "$ffmpeg" -nostdin -hide_banner -i "$1" -an -vf "signalstats,metadata=print:key=lavfi.signalstats.YAVG" \
    -f null - 2>&1 | awk '/pts_time:/ { sub(/.*pts_time:/, ""); t = $1 } /YAVG=/ { sub(/.*YAVG=/, ""); print t, $1 }'
}
# The moments the picture turns white, and the frames' numbers, in the
# first 10 s (the fractal grows bright later on).
flashes() { lumas "$1" | awk '{ on = $2 > 150; if (on && !was && $1 < 10) print $1, NR - 1; was = on }'; }
# The moments the beep starts.
beeps() {
  "$ffmpeg" -nostdin -hide_banner -i "$1" -vn -af "highpass=f=800,highpass=f=800,silencedetect=n=-20dB:d=0.3" -f null - 2>&1 |
    sed -n 's/.*silence_end: \([0-9.]*\).*/\1/p'
}
# Mean of (flash - nearest beep), in ms, over the flashes with a beep near.
av_offset() {
  awk 'NR == FNR { b[++n] = $1; next } { best = 1e9; for (i = 1; i <= n; i++) { d = $1 - b[i]; if (d * d < best * best) best = d }; if (best * best < 0.25) { s += best; k++ } }
       END { printf "%.0f\n", k ? 1000 * s / k : 0 }' <(beeps "$1") <(flashes "$1")
}
# PSNR of A against the reference B, the frames lined up on the first flash.
psnr() {
  local a b
  a=$(flashes "$1" | head -n 1 | cut -d' ' -f2); b=$(flashes "$2" | head -n 1 | cut -d' ' -f2)
  "$ffmpeg" -nostdin -hide_banner -i "$1" -i "$2" -lavfi \
    "[0:v]trim=start_frame=$((a > b ? a - b : 0)),setpts=N/(12*TB)[x];[1:v]trim=start_frame=$((b > a ? b - a : 0)),setpts=N/(12*TB)[y];[x][y]psnr=shortest=1" \
    -f null - 2>&1 | sed -n 's/.*PSNR .*average:\([0-9.]*\).*/\1/p'
}
# The source's frames at 12 fps, scaled by lanczos and kept lossless (an
# interlaced source deinterlaced at its frame rate first). PICK is how the
# frames are picked: "fps" as the conversion does, or "rate" as the old
# words' -r does; DECODING is the decoder's options the conversion gives,
# which decide which frames there are to pick from.
reference() { # SOURCE OUT PICK DECODING...
  local source=$1 out=$2 pick=$3; shift 3
  local deinterlace="" chain
  # (ffmpeg -i alone ends with an error, which the pipe must not take for grep's.)
  { "$ffmpeg" -hide_banner -i "$source" 2>&1 || true; } | grep -q -E "(top|bottom) (coded )?first" &&
    deinterlace="bwdif,"
  chain="${deinterlace}scale=256:192:flags=lanczos,setsar=1"
  local rate=()
  if [[ $pick == fps ]]; then chain="${deinterlace}fps=12,scale=256:192:flags=lanczos,setsar=1"; else rate=(-vsync cfr -r 12); fi
  "$ffmpeg" -nostdin -loglevel error -y "$@" -i "$source" -an -vf "$chain" "${rate[@]}" \
    -c:v rawvideo -pix_fmt yuv420p -f nut "$out"
}

echo "Encoder: $("$ffmpeg" -version | head -n 1 | cut -d' ' -f1-3)"
printf '| %-6s | %-6s | %-6s | %-6s | %-9s | %-6s | %-6s | %-6s | %-6s | %-13s | %-6s | %-6s | %-6s |\n' \
  Source "Old s" "Before" "Ours s" "No loud." Ratio "R. n.l." "Decode" "/dec." "PSNR old/ours" Gain "Size" "Sync"
while read -r name source; do
  : > "$work/old"; : > "$work/ours"; : > "$work/quiet"; : > "$work/before"; : > "$work/decode"
  for ((i = 1; i <= pairs; i++)); do
    # In turn, so that the machine's moods fall on each alike.
    # shellcheck disable=SC2046
    wall $(old_words "$source" "$work/out/old.d3v") >> "$work/old"
    wall "$cli" -o "$work/out" "$source" >> "$work/ours"
    wall "$cli" --no-normalize -o "$work/out" "$source" >> "$work/quiet"
    [[ -n $before ]] && wall "$before" -o "$work/out" "$source" >> "$work/before"
    wall "$ffmpeg" -nostdin -i "$source" -map 0:v:0 -f null - >> "$work/decode"
  done
  old=$(median < "$work/old"); ours=$(median < "$work/ours"); quiet=$(median < "$work/quiet")
  decode=$(median < "$work/decode")
  before_s=n/a; [[ -n $before ]] && before_s=$(median < "$work/before")

  # The picture, in Stretch as the old words make it.
  base=$(basename "${source%.*}")
  "$cli" --fit stretch --no-normalize -o "$work/out" "$source" > /dev/null
  mapfile -t decoding < <("$tool" words "$source" "$work/out/x.d3v" |
    awk '$0 == "-i" { exit } /^-skip_frame$/ { print; getline; print }')
  reference "$source" "$work/ours_ref.nut" fps "${decoding[@]}"
  reference "$source" "$work/full_ref.nut" fps
  reference "$source" "$work/old_ref.nut" rate
  # shellcheck disable=SC2046
  $(old_words "$source" "$work/out/old.d3v") 2> /dev/null
  ours_db=$(psnr "$work/out/$base.d3v" "$work/ours_ref.nut")
  # Which frames -r picks depends on the source's timestamps and the muxer:
  # the old words are measured against whichever reference has their frames.
  old_db=$( (psnr "$work/out/old.d3v" "$work/old_ref.nut"; psnr "$work/out/old.d3v" "$work/full_ref.nut") | sort -g | tail -n 1)
  size=$(awk -v a="$(stat -c %s "$work/out/$base.d3v")" -v b="$(stat -c %s "$work/out/old.d3v")" \
    'BEGIN { printf "%+.1f%%", 100 * (a / b - 1) }')
  # How far each flash moves when frames are left undecoded: its first frame
  # in the frames picked from every frame against those picked from fewer.
  shift_ms=$(paste <(flashes "$work/full_ref.nut" | cut -d' ' -f2) <(flashes "$work/ours_ref.nut" | cut -d' ' -f2) |
    awk '{ d = ($2 - $1) * 1000 / 12; if (d < 0) d = -d; if (d > m) m = d } END { printf "%.0f", m }')
  # Sync: the flash against the beep in the converted movie, less the same
  # in the source.
  "$cli" -o "$work/out" "$source" > /dev/null
  sync=$(( $(av_offset "$work/out/$base.d3v") - $(av_offset "$source") ))
  printf '| %-6s | %-6.3f | %-6s | %-6.3f | %-9.3f | %-6.2f | %-6.2f | %-6.3f | %-6.2f | %-13s | %-6s | %-6s | %-6s |\n' \
    "$name" "$old" "$before_s" "$ours" "$quiet" "$(awk -v a="$ours" -v b="$old" 'BEGIN { print a / b }')" \
    "$(awk -v a="$quiet" -v b="$old" 'BEGIN { print a / b }')" "$decode" \
    "$(awk -v a="$ours" -v b="$decode" 'BEGIN { print a / b }')" "$old_db / $ours_db" \
    "$(awk -v a="$ours_db" -v b="$old_db" 'BEGIN { printf "%+.2f", a - b }')" "$size" "${sync} ms"
  [[ $shift_ms == 0 ]] || echo "         (frames left undecoded move a frame shown by at most $shift_ms ms)"
done < <("$here/make_source_classes.sh" "$classes")
