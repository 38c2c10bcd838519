#!/bin/bash
# Writes a picture of the Windows converter window as wine draws it, with a
# movie opened (its name and description in the panel): OUTPUT.png (say
# docs/screenshot-windows.png).
# Usage: screenshot_windows.sh BUILD_DIR OUTPUT.png, BUILD_DIR being the cross
# build, with ffmpeg.exe fetched into it (scripts/fetch_windows_encoder.sh).
# Runs on a display of its own (Xvfb), in a wine prefix of its own in
# BUILD_DIR, where wine draws the window's frame itself, since no window
# manager does here; drives the program through the test build's seam
# (app/tests/seamed_vantrel_windows.cpp) and xdotool.
set -euo pipefail

build=$(realpath "$1")
output=$(realpath -m "$2")
here=$(dirname "$(realpath "$0")")

if [ -z "${VANTREL_SCREENSHOT_DISPLAY:-}" ]; then
  exec "$here/with_xvfb.sh" env VANTREL_SCREENSHOT_DISPLAY=1 "$0" "$build" "$output"
fi

export VANTREL_WINEPREFIX="$build/screenshot-wine" LC_ALL=C.UTF-8
work=$(mktemp -d)
trap 'kill "${APP_PID:-}" 2>/dev/null || true; rm -rf "$work"' EXIT

# Waits for a condition, giving up after a generous while: a hang guard.
wait_until() {
  for _ in $(seq 1 600); do
    if "$@"; then return 0; fi
    sleep 0.1
  done
  echo "screenshot_windows: gave up waiting for: $*" >&2
  return 1
}

"$here/wine_run.sh" reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /d N /f >/dev/null
# The faces Windows draws dialogs and caption buttons with: Debian's wine
# ships them in its data folder but does not look there, and falls back on
# faces without the caption buttons' glyphs.
cp -n /usr/share/wine/fonts/{tahoma,tahomabd,marlett}.ttf "$VANTREL_WINEPREFIX/drive_c/windows/Fonts/"

clip="$work/Holiday at the Lake.avi"
ffmpeg -nostdin -v error -f lavfi -i testsrc2=size=640x480:rate=25:duration=20 \
  -f lavfi -i sine=frequency=440:duration=20 -c:v mpeg4 -q:v 5 -c:a mp2 -y "$clip"

windows_path() { printf 'Z:%s' "${1//\//\\}"; }
# ffmpeg.exe on the program's PATH; settings of its own, so that the picture
# shows the defaults.
coproc APP {
  WINEPATH=$(windows_path "$build/encoders/win64") VANTREL_SETTINGS_KEY='Software\vantrel-screenshot' \
    exec "$here/wine_run.sh" "$build/app/tests/vantrel_seamed.exe" 2>"$work/stderr"
}

# Sends a command and prints its answer (see app/tests/seamed_vantrel_windows.cpp).
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

mkdir -p "$(dirname "$output")"
wait_until shown
ask "choose $(windows_path "$clip")" >/dev/null
click 1001
wait_until probed
xdotool mousemove 0 0
sleep 0.5  # let wine paint the last updates
import -window "$(xdotool search --name '^Vantrel Video Converter$' | head -1)" "$output"
ask forget >/dev/null
echo "wrote $output"
