#!/usr/bin/env bash
# Measures vantrel-convert and the engine against their performance targets and
# prints a table. Usage: bench/run_bench.sh BUILD_DIR (a build with
# VANTREL_BUILD_BENCH=ON). PAIRS, PROBES, STOPS, CLASS_PAIRS and BATCH_PAIRS
# set the number of runs; CLASSES_DIR keeps the kinds of source between runs.
set -euo pipefail

build=$(cd "${1:?usage: bench/run_bench.sh BUILD_DIR}" && pwd)
cli=$build/cli/vantrel-convert
tool=$build/bench/engine_bench
parser=$build/bench/parser_bench
window=$build/bench/window_list_bench
pairs=${PAIRS:-7}
probes=${PROBES:-11}
stops=${STOPS:-12}
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

# --- Each kind of source, against the old words by hand ---------------------------
# On the system's ffmpeg, and on 7.1 (fetched into the build, as the tests fetch it).
classes=${CLASSES_DIR:-$work/classes}
PAIRS=${CLASS_PAIRS:-5} "$(dirname "$0")/source_classes_bench.sh" "$build" "$ffmpeg" "$classes" | tee "$work/classes51"
if "$(dirname "$0")/../scripts/fetch_encoders.sh" "$build" > /dev/null; then
  PAIRS=${CLASS_PAIRS:-5} "$(dirname "$0")/source_classes_bench.sh" "$build" "$build/encoders/ffmpeg71/ffmpeg" "$classes" |
    tee "$work/classes71"
fi
echo

# --- A start deep into a long source -------------------------------------------------
"$(dirname "$0")/trim_bench.sh" "$build" "$ffmpeg" | tee "$work/trim"
echo

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
# vantrel-convert against ffmpeg given the very words the engine gives it, in
# alternating order, pair by pair; the loudness left as it is, since its
# measuring run is work of its own, which the table by kind of source counts.
mapfile -t words < <("$tool" words "$clip" "$work/direct.d3v")
echo "Conversion: $pairs pairs of vantrel-convert and ffmpeg run directly..."
: > "$work/ratios"; : > "$work/cli"
for ((i = 1; i <= pairs; i++)); do
  if ((i % 2)); then
    cli_run=$("$tool" watch "$cli" --no-normalize "$clip"); direct_run=$("$tool" watch "$ffmpeg" "${words[@]}")
  else
    direct_run=$("$tool" watch "$ffmpeg" "${words[@]}"); cli_run=$("$tool" watch "$cli" --no-normalize "$clip")
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
row "Conversion overhead: vantrel-convert / ffmpeg (median of $pairs)" "$overhead" "<= 1.01" "$(check "$overhead" 1.01 le)"
row "  the engine's conversion alone / ffmpeg (median of $pairs)" "$engine_overhead" "(info)" "-"
row "STOP latency (median of $stops; max $stop_max_ms ms)" "$stop_ms ms" "<= 50 ms" "$(check "$stop_ms" 50 le)"
row "Probe latency: probe / ffmpeg -i FILE (median of $probes)" "$probe_ratio ($probe_ms / $probe_direct_ms ms)" "<= 1.05" "$(check "$probe_ratio" 1.05 le)"
row "Own CPU time of vantrel-convert / the encoder's" "$cpu_percent % ($cpu_self / $cpu_children s)" "<= 1 %" "$(check "$cpu_percent" 1 le)"
row "Peak resident memory of vantrel-convert, encoder excluded" "$rss_mb MB" "<= 20 MB" "$(check "$rss_mb" 20 le)"
row "Batch of 4: --jobs 2 / --jobs 1 (median of $batch_pairs)" "$jobs_ratio" "<= 0.60" "$(check "$jobs_ratio" 0.60 le)"
row "The window's list of 4: two at once / one at a time (median of $batch_pairs)" "$window_ratio" "<= 0.60" "$(check "$window_ratio" 0.60 le)"
row "Peak resident memory with --jobs 2, encoders excluded" "$jobs_rss MB" "<= 20 MB" "$(check "$jobs_rss" 20 le)"
row "Parser throughput, line by line (slowest capture)" "$parser_mbs MB/s" ">= 100" "$(check "$parser_mbs" 100 ge)"
