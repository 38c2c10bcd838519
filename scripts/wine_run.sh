#!/bin/sh
# Runs a Windows program under wine: the emulator of the cross build's tests.
# The wine prefix is made once, on first use, in a folder of its own
# (VANTREL_WINEPREFIX, by default under the user's home), so that a test's
# first start does not pay for it and no Windows dialog asks about it.
set -eu
export WINEPREFIX="${VANTREL_WINEPREFIX:-$HOME/.vantrel-wine}"
export WINEDEBUG="${WINEDEBUG:--all}"
# No Mono or Gecko installer prompts; nothing here needs them.
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  mkdir -p "$(dirname "$WINEPREFIX")"
  (
    flock 9
    [ -f "$WINEPREFIX/system.reg" ] || { wineboot -i >/dev/null 2>&1 || true; wineserver -w || true; }
  ) 9>"$WINEPREFIX.lock"
fi
exec wine "$@"
