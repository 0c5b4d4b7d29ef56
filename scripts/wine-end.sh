#!/usr/bin/env bash
# Ends the wineserver, and with it every Wine process, of the prefix of each DPI given
# (scripts/wine-env.sh), else of INKWISP_WINE_DPI, else 96.
here=$(dirname "$0")
for dpi in "${@:-${INKWISP_WINE_DPI:-96}}"; do
    (
        export INKWISP_WINE_DPI=$dpi
        source "$here/wine-env.sh" && wineserver -k </dev/null >/dev/null 2>&1
    )
done
exit 0
