#!/bin/bash
# Writes pictures of the converter window as a user sees it: OUTPUT.png with a
# list converting (the row converting described in the panel, with its
# preview), OUTPUT-start.png (say docs/screenshot-start.png) just after start,
# OUTPUT-preview.png with a movie added that has subtitles beside it,
# described with its sound, its subtitles and its preview, and OUTPUT-part.png
# with a part of that movie chosen under From and To, and Sleep when done.
# Usage: screenshot.sh BUILD_DIR OUTPUT.png
# Runs on a display of its own (Xvfb), with a login manager that lets the
# computer sleep but not shut down (with_logind_mock.sh), with openbox drawing the window's frame
# when it is installed (make screenshot installs it), and drives the program
# through the test build's seam (app/tests/seamed_vantrel.cpp) and xdotool.
set -euo pipefail

build=$(realpath "$1")
output=$(realpath -m "$2")
here=$(dirname "$(realpath "$0")")

if [ -z "${VANTREL_SCREENSHOT_DISPLAY:-}" ]; then
  exec "$here/with_logind_mock.sh" "$here/with_xvfb.sh" env VANTREL_SCREENSHOT_DISPLAY=1 "$0" "$build" "$output"
fi

work=$(mktemp -d)
trap 'kill "${APP_PID:-}" "${wm:-}" 2>/dev/null || true; rm -rf "$work"' EXIT
# shellcheck source=seam_driver.sh
. "$here/seam_driver.sh"

start_window_manager

make_clip "Holiday at the Lake.avi" 20
# Long enough to be still converting when pictured.
make_clip "Birthday Party.avi" 600
make_clip "Sunset over the Bay.avi" 47
echo "not a movie" >"$work/Notes from the Trip.avi"
make_subtitled_film

# Settings of its own, so that the picture shows the defaults and the user's
# settings are left alone; but one conversion at a time, so that the list
# shows each state.
mkdir -p "$work/vantrel"
echo "simultaneous-conversions=1" >"$work/vantrel/vantrel.conf"
coproc APP { XDG_CONFIG_HOME="$work" exec "$build/app/vantrel_seamed" 2>"$work/stderr"; }

snap() {
  xdotool mousemove 0 0
  sleep 0.5  # let GTK paint the last updates
  import -window "$(xdotool search --name '^Vantrel Video Converter$' | head -1)" -frame "$1"
  echo "wrote $1"
}

# $1 rows, and Encode free.
described() { state; [ "$(rows | wc -l)" -eq "$1" ] && grep -q '^control 1002 1 ' "$work/state"; }
second_selected() { state; rows | sed -n 2p | grep -q '^row 1'; }
open_movie() {
  ask "choose $work/$1" >/dev/null
  click 1001
}

mkdir -p "$(dirname "$output")"
wait_until shown
snap "${output%.png}-start.png"
open_movie "Holiday at the Lake.avi"
wait_until described 1
click 1002
wait_until converted
open_movie "Birthday Party.avi"
wait_until described 2
open_movie "Sunset over the Bay.avi"
open_movie "Notes from the Trip.avi"
wait_until described 4
click 1002
wait_until converting
# The panel describes the row being converted: a click on it, below the
# list's header, each about a line and a half of text high.
row_height=$(( $(field 1019 8) * 2 / 3 ))
xdotool mousemove --sync $(( $(field 1020 5) + 40 )) $(( $(field 1020 6) + row_height * 5 / 2 + 4 )) click 1
wait_until second_selected
wait_until previewed
snap "$output"
# Added while the list converts, it is described at once, and selected.
open_movie "Harbour Tour.mkv"
wait_until described 5
harbour_previewed() { previewed && [ "$(text 1004)" = "Harbour Tour.mkv" ]; }
wait_until harbour_previewed
snap "${output%.png}-preview.png"
# A part of it: the scene from 0:20 to 1:05, and sleep once the list is done.
type_into() {
  click "$1"
  xdotool key ctrl+a type "$2"
  xdotool key Tab
}
type_into 1028 0:20
type_into 1029 1:05
part_chosen() { state; rows | grep -q $'^row 1\tHarbour Tour.mkv\t[^\t]*\t0:45\t'; }
wait_until part_chosen
click 1032
sleep_chosen() { state; grep -q '^control 1032 1 1 ' "$work/state" && previewed; }
wait_until sleep_chosen
snap "${output%.png}-part.png"
