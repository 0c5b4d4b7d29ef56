#!/usr/bin/env bash
# Runs one e2e test script with the build folder's Wine prefix and HOME.
source "$(dirname "$0")/wine-env.sh"
export PYTHONPATH="$(dirname "$1")"
exec /usr/bin/python3 "$@"
