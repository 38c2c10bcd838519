#!/bin/bash
# Writes a picture of the Windows converter window as wine draws it, with a
# few movies in its list, one converted, one converting and one waiting, and
# the one added last described in the panel, with its preview: OUTPUT.png (say
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

make_clip "Holiday at the Lake.avi" 20
# Long enough to be still converting when pictured.
make_clip "Birthday Party.avi" 600
make_clip "Sunset over the Bay.avi" 47

windows_path() { printf 'Z:%s' "${1//\//\\}"; }
# ffmpeg.exe on the program's PATH; settings of its own, so that the picture
# shows the defaults (made afresh, as an earlier picture may have left some),
# but for one conversion at a time, so that the list shows each state.
settings='HKCU\Software\vantrel-screenshot'
"$here/wine_run.sh" reg delete "$settings" /f >/dev/null 2>&1 || true
"$here/wine_run.sh" reg add "$settings" /v simultaneous-conversions /d 1 /f >/dev/null
coproc APP {
  WINEPATH=$(windows_path "$build/encoders/win64") VANTREL_SETTINGS_KEY='Software\vantrel-screenshot' \
    exec "$here/wine_run.sh" "$build/app/vantrel_seamed.exe" 2>"$work/stderr"
}

# $1 rows, each described by its probe (its duration shown), and Encode free.
described() {
  state
  [ "$(rows | wc -l)" -eq "$1" ] && ! rows | awk -F'\t' '$3 == "" { found = 1 } END { exit !found }' &&
    [ "$(text 1002)" = Encode ] && grep -q '^control 1002 1 ' "$work/state"
}
open_movie() {
  ask "choose $(windows_path "$work/$1")" >/dev/null
  click 1001
}

mkdir -p "$(dirname "$output")"
wait_until shown
open_movie "Holiday at the Lake.avi"
wait_until described 1
click 1002
wait_until converted
open_movie "Birthday Party.avi"
wait_until described 2
open_movie "Sunset over the Bay.avi"
wait_until described 3
click 1002
wait_until converting
wait_until previewed
xdotool mousemove 0 0
sleep 0.5  # let wine paint the last updates
import -window "$(xdotool search --name '^Vantrel Video Converter$' | head -1)" "$output"
# Exit stops the conversion and takes its partial file away.
click 2
wait "$APP_PID" || true
echo "wrote $output"
