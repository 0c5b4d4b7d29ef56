#!/usr/bin/env bash
# Makes private Wine prefixes ready (created once, Japanese font substitution applied, the
# screen's DPI set) and leaves a wineserver running in each for a while so that the tests start
# quickly: the prefix of each DPI given (scripts/wine-env.sh), else of INKWISP_WINE_DPI, else 96.
set -euo pipefail
here=$(dirname "$0")

ready_prefix() {
    export INKWISP_WINE_DPI=$1
    source "$here/wine-env.sh"
    # With a Desktop folder of its own in HOME, Wine links the desktop there and not to HOME
    # itself. The server needs the prefix's folder to start in, even before wineboot fills it; it
    # answers 2 when a server is running already.
    mkdir -p "$HOME/Desktop" "$WINEPREFIX"
    # A server left by an earlier run keeps that run's display and its size, which Wine's windows
    # would go on using on this one.
    wineserver -k </dev/null >/dev/null 2>&1 || true
    wineserver -p 120 </dev/null >/dev/null 2>&1 || true
    if [[ ! -f "$WINEPREFIX/.inkwisp-ready" ]]; then
        wine wineboot -i </dev/null >/dev/null 2>&1
        cat >"$INKWISP_WINE_DIR/fonts.reg" <<'REG'
REGEDIT4

[HKEY_LOCAL_MACHINE\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes]
"MS UI Gothic"="IPAGothic"
"MS Shell Dlg"="IPAGothic"
"MS Shell Dlg 2"="IPAGothic"
REG
        wine regedit /S "$(winepath -w "$INKWISP_WINE_DIR/fonts.reg")" </dev/null >/dev/null 2>&1
        if [[ $INKWISP_WINE_DPI != 96 ]]; then
            wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD \
                /d "$INKWISP_WINE_DPI" /f </dev/null >/dev/null 2>&1
            # The processes that wineboot started took the DPI as it was: the prefix starts
            # again, its registry written to its files first.
            wineserver -k </dev/null >/dev/null 2>&1 || true
            wineserver -w </dev/null >/dev/null 2>&1 || true
            wineserver -p 120 </dev/null >/dev/null 2>&1 || true
            wine wineboot </dev/null >/dev/null 2>&1
        fi
        touch "$WINEPREFIX/.inkwisp-ready"
    else
        wine wineboot </dev/null >/dev/null 2>&1
    fi
    # The desktop window's process, detached too (scripts/wine-run.sh), and up before the first
    # test.
    wine explorer.exe /desktop </dev/null >/dev/null 2>&1 &
    sleep 1
}

for dpi in "${@:-${INKWISP_WINE_DPI:-96}}"; do
    (ready_prefix "$dpi")
done
