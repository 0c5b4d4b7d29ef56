#!/usr/bin/env bash
# Runs a command on a private Xvfb display (with openbox, which spares Wine a stall on every
# hidden or destroyed window, unless INKWISP_WINDOW_MANAGER=0); both end with the command.
set -uo pipefail
size=${INKWISP_SCREEN:-1280x1024x24}
fdfile=$(mktemp)
Xvfb -displayfd 3 -screen 0 "$size" -nolisten tcp 3>"$fdfile" >/dev/null 2>&1 &
xvfb=$!
for _ in $(seq 100); do [[ -s "$fdfile" ]] && break; sleep 0.05; done
export DISPLAY=":$(head -n1 "$fdfile")"
rm -f "$fdfile"
wm=
if [[ "${INKWISP_WINDOW_MANAGER:-1}" != 0 ]]; then
    openbox >/dev/null 2>&1 &
    wm=$!
    sleep 0.3
fi
"$@"
status=$?
kill $wm "$xvfb" 2>/dev/null
wait $wm "$xvfb" 2>/dev/null
exit $status
