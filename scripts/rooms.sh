#!/usr/bin/env bash
# Prints the rooms, one a line, from the ground up, as CMakeLists.txt lists them in INKWISP_ROOMS:
# the one list of the rooms that the scripts read.
root=$(cd "$(dirname "$0")/.." && pwd)
sed -n '/^set(INKWISP_ROOMS/,/)/p' "$root/CMakeLists.txt" | tr -s ' ()\n' '\n' |
    sed -n 's/^inkwisp_//p'
