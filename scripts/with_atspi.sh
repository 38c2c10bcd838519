#!/bin/bash
# Runs a command with a D-Bus session bus of its own and the desktop's
# accessibility bus (AT-SPI) on it, so that the GTK programs it starts show
# their controls to a screen reader's interface. The display is the caller's:
#   with_xvfb.sh with_atspi.sh COMMAND [ARGS...]
# Exits with the command's status.
# Every process started here is ended at exit; the script checks that none
# of them outlives it.
set -euo pipefail

dir=$(mktemp -d /tmp/with_atspi.XXXXXX)
bus= launcher=
started=()

# All live descendants of the given pids (by walking /proc's ppid links).
descendants() {
  local p c
  for p in "$@"; do
    for c in $(cat /proc/"$p"/task/*/children 2>/dev/null); do
      echo "$c"
      descendants "$c"
    done
  done
}

stop() { # stop PID...: TERM, then wait up to 5 s for each, then KILL.
  local p i
  for p in "$@"; do kill "$p" 2>/dev/null || true; done
  for p in "$@"; do
    for ((i = 0; i < 50; i++)); do
      kill -0 "$p" 2>/dev/null || break
      # our own children must be reaped; others vanish once they exit
      wait "$p" 2>/dev/null || true
      kill -0 "$p" 2>/dev/null || break
      sleep 0.1  # interval of a bounded poll
    done
    kill -9 "$p" 2>/dev/null || true
  done
}

cleanup() {
  local rc=$?
  set +e
  # Everything below the launcher (the accessibility bus and the registry
  # daemon) and below the session bus (anything it activated), collected
  # before their parents go away and they get re-parented.
  local kids
  kids=$(descendants $launcher $bus)
  [ -n "$launcher" ] && stop "$launcher"
  [ -n "$kids" ] && stop $kids
  [ -n "$bus" ] && stop "$bus"
  local left=""
  for p in $launcher $kids $bus; do
    kill -0 "$p" 2>/dev/null && left="$left $p"
  done
  if [ -n "$left" ]; then
    echo "with_atspi.sh: processes left over:$left" >&2
    ps -o pid,ppid,args -p "${left# }" >&2
    [ "$rc" = 0 ] && rc=1
  fi
  rm -rf "$dir"
  exit "$rc"
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

# Accessibility must stay on: NO_AT_BRIDGE=1 would keep GTK from loading
# its AT-SPI bridge.
unset NO_AT_BRIDGE
export GDK_BACKEND=x11 GSETTINGS_BACKEND=memory GTK_A11Y=atspi
export XDG_RUNTIME_DIR="$dir/run"
mkdir -m 700 "$XDG_RUNTIME_DIR"

# The session bus (in the foreground mode so its pid is ours).
mkfifo "$dir/bus"
dbus-daemon --session --nofork --nopidfile --print-address=3 3>"$dir/bus" >"$dir/bus.log" 2>&1 &
bus=$!
if ! read -r address <"$dir/bus"; then
  cat "$dir/bus.log" >&2
  exit 1
fi
export DBUS_SESSION_BUS_ADDRESS="$address"
unset AT_SPI_BUS_ADDRESS

# The accessibility bus: the launcher takes the name org.a11y.Bus on the
# session bus, starts a dbus-daemon of its own for AT-SPI traffic and
# publishes its address (also as the AT_SPI_BUS property of the X root
# window); the registry daemon is started on that bus.
/usr/libexec/at-spi-bus-launcher --launch-immediately --a11y=1 >"$dir/launcher.log" 2>&1 &
launcher=$!
a11y=
for ((i = 0; i < 200; i++)); do   # up to ~20 s
  a11y=$(dbus-send --session --print-reply=literal --dest=org.a11y.Bus \
           /org/a11y/bus org.a11y.Bus.GetAddress 2>/dev/null | tr -d ' ') || true
  [ -n "$a11y" ] && break
  kill -0 "$launcher" 2>/dev/null || { cat "$dir/launcher.log" >&2; exit 1; }
  sleep 0.1
done
if [ -z "$a11y" ]; then
  echo "with_atspi.sh: accessibility bus did not come up" >&2
  cat "$dir/launcher.log" >&2
  exit 1
fi
# The registry answers on the accessibility bus before any program starts: a
# program whose bridge finds no registry to join is never listed.
registry=
for ((i = 0; i < 200; i++)); do   # up to ~20 s
  if dbus-send --bus="$a11y" --print-reply --dest=org.a11y.atspi.Registry /org/a11y/atspi/accessible/root \
       org.freedesktop.DBus.Properties.Get string:org.a11y.atspi.Accessible string:ChildCount >/dev/null 2>&1; then
    registry=up
    break
  fi
  sleep 0.1
done
[ -n "$registry" ] || { echo "with_atspi.sh: the accessibility registry did not answer" >&2; exit 1; }
# Tell toolkits that accessibility is wanted (read by the bridge through
# org.a11y.Status on the session bus).
dbus-send --session --dest=org.a11y.Bus /org/a11y/bus \
  org.freedesktop.DBus.Properties.Set string:org.a11y.Status \
  string:IsEnabled variant:boolean:true >/dev/null 2>&1 || true

set +e
"$@"
status=$?
set -e
exit "$status"
