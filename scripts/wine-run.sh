#!/usr/bin/env bash
# The cross-compiling emulator: runs a test executable under the build folder's Wine prefix.
source "$(dirname "$0")/wine-env.sh"
# Whenever no server runs (an e2e test ends it, and so does its idle time while a long e2e test
# runs alone), the server, the prefix's services and the desktop window's process, which 64-bit
# Wine's wineboot does not start, are started here, detached: started by the test itself, they
# would hold ctest's output pipe for minutes after it. A running server answers 2, and then they
# run already.
if wineserver -p 120 </dev/null >/dev/null 2>&1; then
    wine wineboot </dev/null >/dev/null 2>&1
    wine explorer.exe /desktop </dev/null >/dev/null 2>&1 &
fi
exec wine "$@"
