#!/usr/bin/env bash
# Runs one e2e test script with the build folder's Wine prefix and HOME, those of the screen of
# INKWISP_WINE_DPI (scripts/wine-env.sh).
source "$(dirname "$0")/wine-env.sh"
export PYTHONPATH="$(dirname "$1")"
exec /usr/bin/python3 "$@"
