#!/bin/bash
# Writes a picture of the converter window in each language of po/LINGUAS,
# OUTPUT_DIR/screenshot-LANG.png: three movies on the list, one of them with
# subtitles, described in the panel with its preview.
# Usage: screenshot_languages.sh BUILD_DIR OUTPUT_DIR
# Runs on a display of its own, as screenshot.sh does, and drives the program
# through the test build's seam.
set -euo pipefail

build=$(realpath "$1")
outdir=$(realpath -m "$2")
here=$(dirname "$(realpath "$0")")

if [ -z "${VANTREL_SCREENSHOT_DISPLAY:-}" ]; then
  exec "$here/with_logind_mock.sh" "$here/with_xvfb.sh" env VANTREL_SCREENSHOT_DISPLAY=1 "$0" "$build" "$outdir"
fi

work=$(mktemp -d)
trap 'kill "${APP_PID:-}" "${wm:-}" 2>/dev/null || true; rm -rf "$work"' EXIT
# shellcheck source=seam_driver.sh
. "$here/seam_driver.sh"

start_window_manager

make_clip "Holiday at the Lake.avi" 20
make_clip "Birthday Party.avi" 47
make_subtitled_film

mkdir -p "$outdir"
for language in $(cat "$here/../po/LINGUAS"); do
  rm -rf "$work/vantrel"
  coproc APP { LC_ALL= LC_MESSAGES= LANG=$language XDG_CONFIG_HOME="$work" exec "$build/app/vantrel_seamed" \
    "$work/Holiday at the Lake.avi" "$work/Birthday Party.avi" "$work/Harbour Tour.mkv" 2>"$work/stderr"; }
  APP_PID=$!
  # The first movie added is described; the three rows are probed.
  ready() { previewed && [ "$(rows | wc -l)" -eq 3 ] && ! rows | awk -F'\t' '$5 == ""' | grep -q .; }
  wait_until ready
  xdotool mousemove 0 0
  sleep 0.5  # let GTK paint the last updates
  import -window "$(xdotool search --name '^Vantrel Video Converter$' | head -1)" -frame "$outdir/screenshot-$language.png"
  echo "wrote $outdir/screenshot-$language.png"
  kill "$APP_PID"
  wait "$APP_PID" 2>/dev/null || true
done
