#!/usr/bin/env bash
# Measures vantrel-convert and the engine against their performance targets and
# prints a table. Usage: bench/run_bench.sh BUILD_DIR (a build with
# VANTREL_BUILD_BENCH=ON). PAIRS, PROBES, STOPS, HD_PAIRS and BATCH_PAIRS set
# the number of runs.
set -euo pipefail

build=$(cd "${1:?usage: bench/run_bench.sh BUILD_DIR}" && pwd)
cli=$build/cli/vantrel-convert
tool=$build/bench/engine_bench
parser=$build/bench/parser_bench
window=$build/bench/window_list_bench
pairs=${PAIRS:-7}
probes=${PROBES:-11}
stops=${STOPS:-12}
hd_pairs=${HD_PAIRS:-5}
batch_pairs=${BATCH_PAIRS:-3}
ffmpeg=$(command -v ffmpeg) || { echo "ffmpeg is not installed" >&2; exit 1; }
for program in "$cli" "$tool" "$parser" "$window"; do
  [[ -x $program ]] || { echo "missing $program: build with VANTREL_BUILD_BENCH=ON" >&2; exit 1; }
done

work=$(mktemp -d "${TMPDIR:-/tmp}/vantrel-bench-XXXXXX")
trap 'rm -rf "$work"' EXIT

# One value out of "key=value key=value ..." lines.
field() { sed -n "s/.*\\b$1=\\([^ ]*\\).*/\\1/p" | tail -n 1; }
median() { sort -g | awk '{ v[NR] = $1 } END { if (NR % 2) print v[(NR + 1) / 2]; else print (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
check() {
  [[ $1 == n/a ]] && { echo "n/a"; return; }
  awk -v v="$1" -v t="$2" -v op="$3" 'BEGIN { ok = (op == "le") ? v <= t : v >= t; print ok ? "yes" : "NO" }'
}
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.4f\n", a / b }'; }

echo "Machine: $(nproc) cores ($(sed -n 's/^model name[[:space:]]*: //p' /proc/cpuinfo | head -n 1))"
echo "Encoder: $("$ffmpeg" -version | head -n 1 | cut -d' ' -f1-3)"
echo

clip=$work/clip.mp4
echo "Making a 60 s 640x480 25 fps h264/aac clip..."
"$ffmpeg" -nostdin -hide_banner -loglevel error -y \
  -f lavfi -i testsrc2=size=640x480:rate=25 -f lavfi -i sine=frequency=440:sample_rate=44100 \
  -t 60 -c:v libx264 -preset veryfast -pix_fmt yuv420p -c:a aac -shortest -f mp4 "$clip"

# A zooming fractal with film grain, 30 fps, at a bitrate usual for 1080p: far
# harder to decode and encode than the test pattern, and closer to a film.
hd=$work/hd.mp4
echo "Making a 20 s 1920x1080 30 fps h264/aac clip..."
"$ffmpeg" -nostdin -hide_banner -loglevel error -y \
  -f lavfi -i "mandelbrot=size=960x540:rate=30:maxiter=256,scale=1920:1080,noise=alls=6:allf=t,format=yuv420p" \
  -f lavfi -i sine=frequency=440:sample_rate=48000 -t 20 -c:v libx264 -preset veryfast \
  -b:v 8M -maxrate 10M -bufsize 16M -c:a aac -shortest -f mp4 "$hd"

# --- Against the command once run by hand ---------------------------------------
# The old words, in today's units: every 30 fps frame scaled, then 60 % dropped.
old=("$ffmpeg" -y -i "$hd" -b:v 256k -strict -2 -s 256x192 -r 12 -f mpeg -vcodec mpeg1video
     -b:a 64k -ar 22050 -ac 1 -acodec mp2 "$work/old.d3v")
echo "Against the old words: $hd_pairs pairs on the 1080p clip..."
: > "$work/hd_ratios"
for ((i = 1; i <= hd_pairs; i++)); do
  if ((i % 2)); then
    ours=$("$tool" watch "$cli" "$hd"); theirs=$("$tool" watch "${old[@]}")
  else
    theirs=$("$tool" watch "${old[@]}"); ours=$("$tool" watch "$cli" "$hd")
  fi
  [[ $(field exit <<< "$ours") == 0 && $(field exit <<< "$theirs") == 0 ]] ||
    { echo "a conversion failed: $ours / $theirs" >&2; exit 1; }
  ours_s=$(field wall_s <<< "$ours"); theirs_s=$(field wall_s <<< "$theirs")
  ratio "$ours_s" "$theirs_s" >> "$work/hd_ratios"
  printf '  pair %d: vantrel-convert %.3f s, old words %.3f s\n' "$i" "$ours_s" "$theirs_s"
done
hd_ratio=$(median < "$work/hd_ratios")

# Picture. The old words stretch the picture to 256x192, so ours is made with
# --fit stretch to be compared frame for frame. Each output is compared with
# the source decoded in full (deblocking included), scaled by lanczos to
# 256x192 and kept lossless, taking the very source frames that output shows:
# ours picks them with the fps filter, the old words with ffmpeg's constant-rate
# output at 12 fps, and each reference is made the same way (checked once on a
# clip whose frames carry their own number: the same frames, the same count).
# Both sides then start at 0 and are compared in order by the psnr filter; the
# frame counts must agree.
echo "Picture: PSNR against lanczos-scaled references..."
"$cli" --fit stretch "$hd" > /dev/null
mv "$work/hd.d3v" "$work/ours.d3v"
"$ffmpeg" -nostdin -loglevel error -y -i "$hd" -an -vf "fps=12,scale=256:192:flags=lanczos,setsar=1" \
  -c:v rawvideo -pix_fmt yuv420p -f nut "$work/ours_ref.nut"
"$ffmpeg" -nostdin -loglevel error -y -i "$hd" -an -vf "scale=256:192:flags=lanczos,setsar=1" \
  -vsync cfr -r 12 -c:v rawvideo -pix_fmt yuv420p -f nut "$work/old_ref.nut"
frames() {
  ffprobe -v error -select_streams v:0 -count_frames -show_entries stream=nb_read_frames -of csv=p=0 "$1"
}
psnr() {
  [[ $(frames "$1") == $(frames "$2") ]] || { echo "frame counts differ: $1 $2" >&2; exit 1; }
  "$ffmpeg" -nostdin -hide_banner -i "$1" -i "$2" -lavfi \
    "[0:v]setpts=PTS-STARTPTS[a];[1:v]setpts=PTS-STARTPTS[b];[a][b]psnr" -f null - 2>&1 |
    sed -n 's/.*PSNR .*average:\([0-9.]*\).*/\1/p'
}
ours_db=$(psnr "$work/ours.d3v" "$work/ours_ref.nut")
old_db=$(psnr "$work/old.d3v" "$work/old_ref.nut")
gain_db=$(awk -v a="$ours_db" -v b="$old_db" 'BEGIN { printf "%+.2f", a - b }')
size_pct=$(awk -v a="$(stat -c %s "$work/ours.d3v")" -v b="$(stat -c %s "$work/old.d3v")" \
  'BEGIN { printf "%+.1f", 100 * (a / b - 1) }')
size_ok=$(awk -v p="$size_pct" 'BEGIN { print (p >= -3 && p <= 3) ? "yes" : "NO" }')
echo "  ours $ours_db dB, old words $old_db dB, size $size_pct %"

# --- Batches on both cores ---------------------------------------------------------
jobs_ratio=n/a; jobs_rss=n/a
if "$cli" --help 2>&1 | grep -q -- '--jobs'; then
  mkdir -p "$work/batch"
  for n in 1 2 3 4; do cp "$clip" "$work/batch/clip$n.mp4"; done
  batch=("$work"/batch/clip?.mp4)
  echo "Batch of 4: $batch_pairs pairs of --jobs 2 and --jobs 1..."
  : > "$work/batch_ratios"; : > "$work/batch_two"
  for ((i = 1; i <= batch_pairs; i++)); do
    if ((i % 2)); then
      two=$("$tool" watch "$cli" --jobs 2 "${batch[@]}"); one=$("$tool" watch "$cli" --jobs 1 "${batch[@]}")
    else
      one=$("$tool" watch "$cli" --jobs 1 "${batch[@]}"); two=$("$tool" watch "$cli" --jobs 2 "${batch[@]}")
    fi
    [[ $(field exit <<< "$two") == 0 && $(field exit <<< "$one") == 0 ]] ||
      { echo "a batch failed: $two / $one" >&2; exit 1; }
    ratio "$(field wall_s <<< "$two")" "$(field wall_s <<< "$one")" >> "$work/batch_ratios"
    echo "$two" >> "$work/batch_two"
    printf '  pair %d: --jobs 2 %.3f s, --jobs 1 %.3f s\n' "$i" "$(field wall_s <<< "$two")" "$(field wall_s <<< "$one")"
  done
  jobs_ratio=$(median < "$work/batch_ratios")
  jobs_rss=$(awk '{ for (i = 1; i <= NF; i++) if ($i ~ /^peak_rss_kb=/) { split($i, kv, "="); if (kv[2] > m) m = kv[2] } } END { printf "%.1f", m * 1024 / 1e6 }' "$work/batch_two")
else
  echo "Batch: this vantrel-convert has no --jobs; n/a"
fi

# --- The window's list of the same 4, through the window's own logic ------------
window_ratio=n/a
if [[ -d $work/batch ]]; then
  echo "The window's list of 4: $batch_pairs pairs of two at once and one at a time..."
  : > "$work/window_ratios"
  for ((i = 1; i <= batch_pairs; i++)); do
    if ((i % 2)); then
      two=$("$window" 2 "${batch[@]}"); one=$("$window" 1 "${batch[@]}")
    else
      one=$("$window" 1 "${batch[@]}"); two=$("$window" 2 "${batch[@]}")
    fi
    ratio "$(field wall_s <<< "$two")" "$(field wall_s <<< "$one")" >> "$work/window_ratios"
    printf '  pair %d: two at once %.3f s, one at a time %.3f s\n' "$i" "$(field wall_s <<< "$two")" "$(field wall_s <<< "$one")"
  done
  window_ratio=$(median < "$work/window_ratios")
fi

# --- Conversion overhead, own CPU time and peak memory -------------------------
# vantrel-convert (probe included, as a user runs it) against ffmpeg given the
# very words the engine gives it; in alternating order, pair by pair.
mapfile -t words < <("$tool" words "$clip" "$work/direct.d3v")
echo "Conversion: $pairs pairs of vantrel-convert and ffmpeg run directly..."
: > "$work/ratios"; : > "$work/cli"
for ((i = 1; i <= pairs; i++)); do
  if ((i % 2)); then
    cli_run=$("$tool" watch "$cli" "$clip"); direct_run=$("$tool" watch "$ffmpeg" "${words[@]}")
  else
    direct_run=$("$tool" watch "$ffmpeg" "${words[@]}"); cli_run=$("$tool" watch "$cli" "$clip")
  fi
  [[ $(field exit <<< "$cli_run") == 0 && $(field exit <<< "$direct_run") == 0 ]] ||
    { echo "a conversion failed: $cli_run / $direct_run" >&2; exit 1; }
  cli_s=$(field wall_s <<< "$cli_run"); direct_s=$(field wall_s <<< "$direct_run")
  awk -v a="$cli_s" -v b="$direct_s" 'BEGIN { printf "%.4f\n", a / b }' >> "$work/ratios"
  echo "$cli_run" >> "$work/cli"
  printf '  pair %d: vantrel-convert %.3f s, ffmpeg %.3f s\n' "$i" "$cli_s" "$direct_s"
done
overhead=$(median < "$work/ratios")
cpu_self=$(awk '{ for (i = 1; i <= NF; i++) if ($i ~ /^self_cpu_s=/) { split($i, kv, "="); s += kv[2] } } END { print s }' "$work/cli")
cpu_children=$(awk '{ for (i = 1; i <= NF; i++) if ($i ~ /^children_cpu_s=/) { split($i, kv, "="); s += kv[2] } } END { print s }' "$work/cli")
cpu_percent=$(awk -v a="$cpu_self" -v b="$cpu_children" 'BEGIN { printf "%.2f", 100 * a / b }')
rss_mb=$(awk '{ for (i = 1; i <= NF; i++) if ($i ~ /^peak_rss_kb=/) { split($i, kv, "="); if (kv[2] > m) m = kv[2] } } END { printf "%.1f", m * 1024 / 1e6 }' "$work/cli")

echo "Engine conversion alone (no probe, no process start): $pairs pairs..."
"$tool" convert "$clip" "$pairs" > "$work/engine"
sed -e '$d' -e 's/^/  /' "$work/engine"
engine=$(tail -n 1 "$work/engine")
engine_overhead=$(field median_ratio <<< "$engine")

echo "Probe: $probes pairs of the probe and 'ffmpeg -i FILE'..."
probe=$("$tool" probe "$clip" "$probes" | tail -n 1)
probe_ratio=$(field median_ratio <<< "$probe")
probe_ms=$(field median_ms <<< "$probe")
probe_direct_ms=$(field median_direct_ms <<< "$probe")

echo "STOP: $stops stops at random points..."
stop=$("$tool" stop "$clip" "$stops" | tail -n 1)
stop_ms=$(field median_ms <<< "$stop")
stop_max_ms=$(field max_ms <<< "$stop")

echo "Parser throughput..."
"$parser" --benchmark_format=csv --benchmark_min_time=0.5 2> /dev/null |
  awk -F, '/^"ParseCapturedOutput/ { gsub(/"/, "", $1); printf "  %-40s %8.1f MB/s\n", $1, $6 / 1e6 }' |
  tee "$work/parser"
parser_mbs=$(awk '{ print $2 }' "$work/parser" | sort -g | head -n 1)

echo
printf '| %-62s | %-26s | %-8s | %-4s |\n' "Figure" "Measured" "Target" "Met"
printf '|%s|%s|%s|%s|\n' "$(printf -- '-%.0s' {1..64})" "$(printf -- '-%.0s' {1..28})" "----------" "------"
row() { printf '| %-62s | %-26s | %-8s | %-4s |\n' "$1" "$2" "$3" "$4"; }
row "Wall time on 20 s 1080p: vantrel-convert / old words (median of $hd_pairs)" "$hd_ratio" "<= 0.80" "$(check "$hd_ratio" 0.80 le)"
row "Picture: PSNR gain over the old words (size $size_pct %, ok: $size_ok)" "$gain_db dB ($ours_db / $old_db)" ">= +0.5" "$(check "$gain_db" 0.5 ge)"
row "Conversion overhead: vantrel-convert / ffmpeg (median of $pairs)" "$overhead" "<= 1.01" "$(check "$overhead" 1.01 le)"
row "  the engine's conversion alone / ffmpeg (median of $pairs)" "$engine_overhead" "(info)" "-"
row "STOP latency (median of $stops; max $stop_max_ms ms)" "$stop_ms ms" "<= 50 ms" "$(check "$stop_ms" 50 le)"
row "Probe latency: probe / ffmpeg -i FILE (median of $probes)" "$probe_ratio ($probe_ms / $probe_direct_ms ms)" "<= 1.05" "$(check "$probe_ratio" 1.05 le)"
row "Own CPU time of vantrel-convert / the encoder's" "$cpu_percent % ($cpu_self / $cpu_children s)" "<= 1 %" "$(check "$cpu_percent" 1 le)"
row "Peak resident memory of vantrel-convert, encoder excluded" "$rss_mb MB" "<= 20 MB" "$(check "$rss_mb" 20 le)"
row "Batch of 4: --jobs 2 / --jobs 1 (median of $batch_pairs)" "$jobs_ratio" "<= 0.70" "$(check "$jobs_ratio" 0.70 le)"
row "The window's list of 4: two at once / one at a time (median of $batch_pairs)" "$window_ratio" "<= 0.70" "$(check "$window_ratio" 0.70 le)"
row "Peak resident memory with --jobs 2, encoders excluded" "$jobs_rss MB" "<= 20 MB" "$(check "$jobs_rss" 20 le)"
row "Parser throughput, line by line (slowest capture)" "$parser_mbs MB/s" ">= 100" "$(check "$parser_mbs" 100 ge)"
