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
# shellcheck source=seam_driver.sh
. "$here/seam_driver.sh"

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
