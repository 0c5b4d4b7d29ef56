#!/usr/bin/env bash
# The cross-compiling emulator: runs a test executable under the build folder's Wine prefix.
source "$(dirname "$0")/wine-env.sh"
exec wine "$@"
