#!/usr/bin/env bash
# The cross-compiling emulator: runs a test executable under the build folder's Wine prefix.
source "$(dirname "$0")/wine-env.sh"
# Whenever no server runs (an e2e test ends it, and so does its idle time while a long e2e test
# runs alone), the server, the prefix's services and the desktop window's process, which 64-bit
# Wine's wineboot does not start, are started here, detached. A running server answers 2, and then
# they run already.
if wineserver -p 120 </dev/null >/dev/null 2>&1; then
    wine wineboot </dev/null >/dev/null 2>&1
    wine explorer.exe /desktop </dev/null >/dev/null 2>&1 &
fi
# The test writes into a file, shown as it grows, and never into ctest's pipe: when a server starts
# with the test's own process all the same (one ended just after the check above), that process
# starts the prefix's services with its standard handles, and ctest would wait for its pipe as long
# as they run (once for ten minutes after every test had passed).
output=$(mktemp)
trap 'rm -f "$output"' EXIT
wine "$@" >"$output" 2>&1 &
test=$!
tail -n +1 -s 0.05 -f --pid="$test" "$output"
wait "$test"
