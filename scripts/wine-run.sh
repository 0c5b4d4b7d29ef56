#!/usr/bin/env bash
# The cross-compiling emulator: runs a test executable under the build folder's Wine prefix.
source "$(dirname "$0")/wine-env.sh"
# A server that outlives the test, started detached: a server started by wine itself would hold
# ctest's output pipe until it ends, a few seconds after every test (an e2e test may have ended
# the one that scripts/wine-prefix.sh left running). Cheap when one runs already.
wineserver -p 120 </dev/null >/dev/null 2>&1
exec wine "$@"
