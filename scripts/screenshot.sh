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

# Waits for a condition, giving up after a generous while: a hang guard.
wait_until() {
  for _ in $(seq 1 600); do
    if "$@"; then return 0; fi
    sleep 0.1
  done
  echo "screenshot: gave up waiting for: $*" >&2
  return 1
}

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

# Sends a command and prints its answer (see app/tests/seamed_vantrel.cpp).
ask() {
  echo "$1" >&"${APP[1]}"
  while IFS= read -r line <&"${APP[0]}"; do
    [ "$line" = end ] && break
    printf '%s\n' "$line"
  done
}
state() { ask state >"$work/state"; }
# The field of the control with template id $1: 5 = x, 6 = y, 7 = width, 8 = height.
field() { awk -v id="$1" -v f="$2" '$1 == "control" && $2 == id { print $f }' "$work/state"; }
text() { awk -F'\t' -v id="$1" '$1 ~ "^control " id " " { print $2 }' "$work/state"; }
click() {
  local x y
  x=$(( $(field "$1" 5) + $(field "$1" 7) / 2 ))
  y=$(( $(field "$1" 6) + $(field "$1" 8) / 2 ))
  xdotool mousemove --sync "$x" "$y" click 1
}
shown() { state; grep -q '^window' "$work/state"; }
probed() { state; [ -n "$(text 1009)" ]; }

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
