#!/bin/bash
# Runs a command on a display of its own: a fresh Xvfb on a free display
# number, which Xvfb picks and reports itself, so that parallel runs cannot
# collide. Usage: with_xvfb.sh COMMAND [ARGS...]; exits with the command's status.
set -euo pipefail

dir=$(mktemp -d)
xvfb=
cleanup() {
  if [ -n "$xvfb" ]; then kill "$xvfb" 2>/dev/null || true; wait "$xvfb" 2>/dev/null || true; fi
  rm -rf "$dir"
}
trap cleanup EXIT

mkfifo "$dir/display"
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$dir/display" 2>"$dir/xvfb.log" &
xvfb=$!
# Xvfb writes the display number once it accepts clients; EOF means it died.
if ! read -r number <"$dir/display"; then
  cat "$dir/xvfb.log" >&2
  exit 1
fi

export DISPLAY=":$number"
# No desktop session here: keep GTK from looking for one.
export NO_AT_BRIDGE=1 GSETTINGS_BACKEND=memory
unset WAYLAND_DISPLAY
set +e
"$@"
status=$?
set -e
exit "$status"
