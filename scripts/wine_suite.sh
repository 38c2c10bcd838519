#!/bin/sh
# Runs a test suite under wine with its output kept in a file, and shows it once
# the suite has ended. Wine may leave a console host of its own running after
# the suite, holding what output it inherited: were that ctest's pipe, ctest
# would wait for it until the test's time is up, though every test passed.
set -u
here=$(cd "$(dirname "$0")" && pwd)
output=$(mktemp)
"$here/wine_run.sh" "$@" >"$output" 2>&1 </dev/null
status=$?
cat "$output"
rm -f "$output"
exit $status
