#!/bin/bash
# Runs a command with a system bus of its own, on which the login manager is
# python3-dbusmock's logind template: this user may sleep the computer but not
# shut it down. The mock logs every call it takes to the file named by
# VANTREL_LOGIND_LOG, a line each: "TIME METHOD ARGUMENTS".
# Usage: with_logind_mock.sh COMMAND [ARGS...]; exits with the command's status.
set -euo pipefail

dir=$(mktemp -d)
bus= mock=
cleanup() {
  for pid in $mock $bus; do kill "$pid" 2>/dev/null || true; done
  if [ -n "$mock" ]; then wait "$mock" 2>/dev/null || true; fi
  rm -rf "$dir"
}
trap cleanup EXIT

# The daemon forks once it listens, and then says where and who it is.
{ read -r address; read -r bus; } < <(dbus-daemon --session --address="unix:path=$dir/bus" --fork \
                                        --print-address=1 --print-pid=1)
export DBUS_SYSTEM_BUS_ADDRESS="$address"
export VANTREL_LOGIND_LOG="$dir/logind.log"
# Debian's own Python has the module, whatever python3 comes first on PATH.
/usr/bin/python3 -m dbusmock --system --template logind --parameters '{"CanPowerOff": "no"}' \
  --logfile "$VANTREL_LOGIND_LOG" >"$dir/mock.out" 2>&1 &
mock=$!
# Answers once the mock owns the name; gives up after a minute.
if ! gdbus wait --system --timeout 60 org.freedesktop.login1; then
  cat "$dir/mock.out" >&2
  exit 1
fi
set +e
"$@"
