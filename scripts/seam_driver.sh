# Shell functions that drive a seamed build of the window (see
# app/tests/seamed_vantrel.cpp and seamed_vantrel_windows.cpp): sourced by the screenshot scripts, which
# start it as the coprocess APP and give a scratch folder in $work.

# Waits for a condition, giving up after a generous while: a hang guard.
wait_until() {
  for _ in $(seq 1 600); do
    if "$@"; then return 0; fi
    sleep 0.1
  done
  echo "$(basename "$0"): gave up waiting for: $*" >&2
  return 1
}

# Sends a command and prints its answer.
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
# The preview shows a frame of the row described.
previewed() { state; grep -q '^preview 1 ' "$work/state"; }

# openbox, when installed, draws the window's frame in the pictures; its pid
# in $wm for the caller's clean-up.
start_window_manager() {
  command -v openbox >/dev/null || return 0
  openbox --sm-disable >/dev/null 2>&1 &
  wm=$!
  wait_until sh -c 'xprop -root _NET_SUPPORTING_WM_CHECK | grep -q "window id"'
}
# A 16:9 film heard in English, with English subtitles beside it, which Auto
# draws in the bottom bar: "Harbour Tour.mkv" and "Harbour Tour.en.srt".
make_subtitled_film() {
  ffmpeg -nostdin -v error -f lavfi -i "testsrc2=size=854x480:rate=25:duration=90" \
    -f lavfi -i "sine=frequency=330:duration=90" -c:v libx264 -preset ultrafast -pix_fmt yuv420p \
    -c:a aac -metadata:s:a:0 language=eng -y "$work/Harbour Tour.mkv"
  printf '1\n00:00:00,000 --> 00:01:30,000\nThe boat leaves at noon,\nright after the bells.\n' \
    >"$work/Harbour Tour.en.srt"
}
# make_clip NAME SECONDS: a test picture with a tone, in the scratch folder.
make_clip() {
  ffmpeg -nostdin -v error -f lavfi -i "testsrc2=size=640x480:rate=25:duration=$2" \
    -f lavfi -i "sine=frequency=440:duration=$2" -c:v mpeg4 -q:v 5 -c:a mp2 -y "$work/$1"
}
# The list's rows, as the state tells them: "row SELECTED\tNAME\tSAVED AS\tDURATION\tSIZE\tSTATE".
rows() { grep '^row' "$work/state" || true; }
converted() { state; rows | grep -q $'\tConverted (' && [ "$(text 1002)" = Encode ]; }
# The second row on its way: a tenth of it converted.
converting() { state; rows | sed -n 2p | grep -Eq $'\t([1-9][0-9])%'; }
