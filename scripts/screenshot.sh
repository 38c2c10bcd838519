#!/bin/bash
# Writes pictures of the converter window as a user sees it: OUTPUT.png with a
# movie opened (its name and description in the panel), and OUTPUT-start.png
# (say docs/screenshot-start.png) just after start.
# Usage: screenshot.sh BUILD_DIR OUTPUT.png
# Runs on a display of its own (Xvfb), with openbox drawing the window's frame
# when it is installed (make screenshot installs it), and drives the program
# through the test build's seam (app/tests/seamed_vantrel.cpp) and xdotool.
set -euo pipefail

build=$(realpath "$1")
output=$(realpath -m "$2")
here=$(dirname "$(realpath "$0")")

if [ -z "${VANTREL_SCREENSHOT_DISPLAY:-}" ]; then
  exec "$here/with_xvfb.sh" env VANTREL_SCREENSHOT_DISPLAY=1 "$0" "$build" "$output"
fi

work=$(mktemp -d)
trap 'kill "${APP_PID:-}" "${wm:-}" 2>/dev/null || true; rm -rf "$work"' EXIT
# shellcheck source=seam_driver.sh
. "$here/seam_driver.sh"

if command -v openbox >/dev/null; then
  openbox --sm-disable >/dev/null 2>&1 &
  wm=$!
  wait_until sh -c 'xprop -root _NET_SUPPORTING_WM_CHECK | grep -q "window id"'
fi

clip="$work/Holiday at the Lake.avi"
ffmpeg -nostdin -v error -f lavfi -i testsrc2=size=640x480:rate=25:duration=20 \
  -f lavfi -i sine=frequency=440:duration=20 -c:v mpeg4 -q:v 5 -c:a mp2 -y "$clip"

# Settings of its own, so that the picture shows the defaults and the user's
# settings are left alone.
coproc APP { XDG_CONFIG_HOME="$work" exec "$build/app/tests/vantrel_seamed" 2>"$work/stderr"; }

snap() {
  xdotool mousemove 0 0
  sleep 0.5  # let GTK paint the last updates
  import -window "$(xdotool search --name '^Vantrel Video Converter$' | head -1)" -frame "$1"
  echo "wrote $1"
}

mkdir -p "$(dirname "$output")"
wait_until shown
snap "${output%.png}-start.png"
ask "choose $clip" >/dev/null
click 1001
wait_until probed
snap "$output"
