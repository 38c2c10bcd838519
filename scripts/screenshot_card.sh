#!/bin/bash
# Writes OUTPUT.png: the converter window with a memory card plugged in, its
# "Save to" list open on the card, as a user sees it. The card is a FAT image
# labelled PLAYER, mounted through FUSE (needs root, /dev/fuse and fusefat).
# Usage: screenshot_card.sh BUILD_DIR OUTPUT.png
set -euo pipefail

build=$(realpath "$1")
output=$(realpath -m "$2")
here=$(dirname "$(realpath "$0")")

if [ -z "${VANTREL_SCREENSHOT_DISPLAY:-}" ]; then
  exec "$here/with_xvfb.sh" env VANTREL_SCREENSHOT_DISPLAY=1 "$0" "$build" "$output"
fi

work=$(mktemp -d)
trap 'kill "${APP_PID:-}" "${wm:-}" 2>/dev/null || true; fusermount -u "$work/card" 2>/dev/null || true; rm -rf "$work"' EXIT
# shellcheck source=seam_driver.sh
. "$here/seam_driver.sh"

start_window_manager

make_clip "Holiday at the Lake.avi" 20
make_clip "Harbour Tour: Part 1?.avi" 47
mkdir -p "$work/vantrel" "$work/card"
printf 'save-to=beside\n' >"$work/vantrel/vantrel.conf"
coproc APP { XDG_CONFIG_HOME="$work" exec "$build/app/vantrel_seamed" \
  "$work/Holiday at the Lake.avi" "$work/Harbour Tour: Part 1?.avi" 2>"$work/stderr"; }

truncate -s 1G "$work/player.img"
mkfs.vfat -n PLAYER "$work/player.img" >/dev/null
fusefat -o "rw+,fsname=$work/player.img,subtype=fusefat" "$work/player.img" "$work/card"

offered() { state; grep -q $'^choices\tBeside each movie\tPLAYER: ' "$work/state"; }
on_card() { state; text 1023 | grep -q '^PLAYER: '; }
wait_until offered
click 1023
xdotool key Down Return
wait_until on_card
click 1023
sleep 0.5  # let GTK paint the open list
mkdir -p "$(dirname "$output")"
import -window root -crop "$(xdotool search --name '^Vantrel Video Converter$' getwindowgeometry --shell | awk -F= '/WIDTH|HEIGHT|^X|^Y/ {v[$1]=$2} END {printf "%dx%d+%d+%d", v["WIDTH"]+40, v["HEIGHT"]+40, v["X"]-20, v["Y"]-40}')" "$output"
echo "wrote $output"
xdotool key Escape
