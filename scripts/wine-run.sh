#!/usr/bin/env bash
# The cross-compiling emulator: runs a test executable under the build folder's Wine prefix.
source "$(dirname "$0")/wine-env.sh"
# The server and the prefix's services are started here, detached, whenever they are not running
# (an e2e test ends them, and so does the server's idle time while a long e2e test runs alone):
# started by the test itself, they would hold ctest's output pipe for minutes after it. Both
# calls are cheap when they run already.
wineserver -p 120 </dev/null >/dev/null 2>&1
wine wineboot </dev/null >/dev/null 2>&1
# So is the desktop window's process, which 64-bit Wine's wineboot does not start: a test's first
# window would start it. It ends at once where the desktop runs already.
wine explorer.exe /desktop </dev/null >/dev/null 2>&1 &
exec wine "$@"
