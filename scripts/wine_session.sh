#!/bin/sh
# Runs COMMAND while a wine session of VANTREL_WINEPREFIX is up, and ends the
# session after it. Wine starts its own background programs with the first
# Windows program of a session, and they inherit that program's standard
# streams: were a test the first, they would hold the test's output pipe open
# and ctest would wait for them. Started here, they get none of ours.
set -eu
[ $# -ge 1 ] || { echo "usage: $0 COMMAND [ARG...]" >&2; exit 2; }
here=$(cd "$(dirname "$0")" && pwd)
export WINEPREFIX="${VANTREL_WINEPREFIX:-$HOME/.vantrel-wine}"
# The prefix first (made once), then a server that stays until it is killed
# below, so that the session does not end and start again between two tests,
# and then wine's background programs, with none of our streams.
"$here/wine_run.sh" wineboot --help </dev/null >/dev/null 2>&1 || true
wineserver -k </dev/null >/dev/null 2>&1 || true
wineserver -w </dev/null >/dev/null 2>&1 || true
# Without a display wine loads no graphics driver, and then a program can make
# no window at all, not even the hidden one the card watcher hears the system's
# broadcasts with. Wine's null driver makes windows that are never drawn. The
# prefix keeps the setting, so it is written once, before the session's
# desktop starts; the server saves it as it ends by itself.
if [ -z "${DISPLAY:-}" ] && ! grep -q '^"Graphics"="null"' "$WINEPREFIX/user.reg" 2>/dev/null; then
  "$here/wine_run.sh" reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f </dev/null >/dev/null 2>&1
  wineserver -w </dev/null >/dev/null 2>&1 || true
fi
wineserver -p </dev/null >/dev/null 2>&1
"$here/wine_run.sh" wineboot </dev/null >/dev/null 2>&1
status=0
"$@" || status=$?
wineserver -k </dev/null >/dev/null 2>&1 || true
exit $status
