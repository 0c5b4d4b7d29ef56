#!/usr/bin/env bash
# Runs every test layer: host (native, sanitizers), then wine and e2e on a private display.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

ctest --preset host --output-on-failure -j "$(nproc)"
host=$?

windows_tests() {
    source scripts/wine-env.sh
    bash scripts/wine-prefix.sh
    # Wine tests run side by side; what they share is locked (RESOURCE_LOCK, RUN_SERIAL), and
    # the e2e tests, which share the display, run alone.
    ctest --preset windows --output-on-failure -j "$(nproc)"
    local status=$?
    wineserver -k 2>/dev/null
    return $status
}
export -f windows_tests
INKWISP_SCREEN=1280x1024x24 bash scripts/with-print-queue.sh bash scripts/with-display.sh \
    bash -c windows_tests
windows=$?

if [[ $host -ne 0 || $windows -ne 0 ]]; then
    echo "make test: FAILED (host $host, windows $windows)"
    exit 1
fi
echo "make test: all layers passed"
