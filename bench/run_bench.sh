#!/usr/bin/env bash
# Measures vantrel-convert and the engine against their performance targets and
# prints a table. Usage: bench/run_bench.sh BUILD_DIR (a build with
# VANTREL_BUILD_BENCH=ON). PAIRS, PROBES and STOPS set the number of runs.
set -euo pipefail

build=$(cd "${1:?usage: bench/run_bench.sh BUILD_DIR}" && pwd)
cli=$build/cli/vantrel-convert
tool=$build/bench/engine_bench
parser=$build/bench/parser_bench
pairs=${PAIRS:-7}
probes=${PROBES:-11}
stops=${STOPS:-12}
ffmpeg=$(command -v ffmpeg) || { echo "ffmpeg is not installed" >&2; exit 1; }
for program in "$cli" "$tool" "$parser"; do
  [[ -x $program ]] || { echo "missing $program: build with VANTREL_BUILD_BENCH=ON" >&2; exit 1; }
done

work=$(mktemp -d "${TMPDIR:-/tmp}/vantrel-bench-XXXXXX")
trap 'rm -rf "$work"' EXIT

# One value out of "key=value key=value ..." lines.
field() { sed -n "s/.*\\b$1=\\([^ ]*\\).*/\\1/p" | tail -n 1; }
median() { sort -g | awk '{ v[NR] = $1 } END { if (NR % 2) print v[(NR + 1) / 2]; else print (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
check() { awk -v v="$1" -v t="$2" -v op="$3" 'BEGIN { ok = (op == "le") ? v <= t : v >= t; print ok ? "yes" : "NO" }'; }

echo "Machine: $(nproc) cores ($(sed -n 's/^model name[[:space:]]*: //p' /proc/cpuinfo | head -n 1))"
echo "Encoder: $("$ffmpeg" -version | head -n 1 | cut -d' ' -f1-3)"
echo

clip=$work/clip.mp4
echo "Making a 60 s 640x480 25 fps h264/aac clip..."
"$ffmpeg" -nostdin -hide_banner -loglevel error -y \
  -f lavfi -i testsrc2=size=640x480:rate=25 -f lavfi -i sine=frequency=440:sample_rate=44100 \
  -t 60 -c:v libx264 -preset veryfast -pix_fmt yuv420p -c:a aac -shortest -f mp4 "$clip"

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
row "Conversion overhead: vantrel-convert / ffmpeg (median of $pairs)" "$overhead" "<= 1.02" "$(check "$overhead" 1.02 le)"
row "  the engine's conversion alone / ffmpeg (median of $pairs)" "$engine_overhead" "(info)" "-"
row "STOP latency (median of $stops; max $stop_max_ms ms)" "$stop_ms ms" "<= 50 ms" "$(check "$stop_ms" 50 le)"
row "Probe latency: probe / ffmpeg -i FILE (median of $probes)" "$probe_ratio ($probe_ms / $probe_direct_ms ms)" "<= 1.05" "$(check "$probe_ratio" 1.05 le)"
row "Own CPU time of vantrel-convert / the encoder's" "$cpu_percent % ($cpu_self / $cpu_children s)" "<= 1 %" "$(check "$cpu_percent" 1 le)"
row "Peak resident memory of vantrel-convert, encoder excluded" "$rss_mb MB" "<= 20 MB" "$(check "$rss_mb" 20 le)"
row "Parser throughput, 511-byte chunks (slowest capture)" "$parser_mbs MB/s" ">= 100" "$(check "$parser_mbs" 100 ge)"
