#!/usr/bin/env bash
# Builds and runs every test layer: host (native, sanitizers), the shipped executables read from
# their files, the installer round trips, then wine and e2e on a private display, on the Windows
# build that this machine runs (scripts/arch.sh).
#
# The wine and e2e layers take the longest and mostly wait on Wine and the display, not on a core:
# their build comes first and they start at once; everything else is built and run beside them,
# its output kept in a log that is shown when they end.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
source scripts/arch.sh
jobs=${JOBS:-$(nproc)}

cmake --preset "$INKWISP_PRESET" >/dev/null && cmake --build --preset "$INKWISP_PRESET" -j "$jobs" ||
    { echo "make test: FAILED (the $INKWISP_ARCH build)"; exit 1; }

host_layer() {
    cmake --preset host >/dev/null && cmake --build --preset host -j "$jobs" &&
        ctest --preset host --output-on-failure -j "$(nproc)"
}

# The other architecture's program, both checked from their files, and the downloads that the
# installer round trips install.
release_layer() {
    local status=0
    bash scripts/build-windows.sh && bash scripts/dist.sh >/dev/null || return 1
    # Both architectures' programs are checked without running them, on every machine.
    /usr/bin/python3 tests/shipped_exe.py build/windows/Inkwisp/inkwisp.exe \
        build/windows-x64/Inkwisp/inkwisp.exe || status=1
    # The installer round trips keep to prefixes, a HOME and a display of their own.
    ctest --preset "$INKWISP_PRESET" --output-on-failure -R '^e2e\.test_install$' || status=1
    return $status
}

logs=$INKWISP_BUILD/beside
mkdir -p "$logs"
host_layer >"$logs/host.log" 2>&1 &
host_job=$!
release_layer >"$logs/release.log" 2>&1 &
release_job=$!

echo "windows tests: $INKWISP_ARCH_TITLE ($INKWISP_ARCH_WHY)"
windows_tests() {
    source scripts/wine-env.sh
    bash scripts/wine-prefix.sh
    # Wine tests run side by side; what they share is locked (RESOURCE_LOCK, RUN_SERIAL), and
    # the e2e tests, which share the display, run alone. Twice as many wine tests as there are
    # cores run at once (on two cores they take 110 s instead of 180 s).
    ctest --preset "$INKWISP_PRESET" --output-on-failure -j "$((2 * $(nproc)))" \
        -E '^e2e\.test_install$'
    local status=$?
    wineserver -k 2>/dev/null
    return $status
}
export -f windows_tests
INKWISP_SCREEN=1280x1024x24 bash scripts/with-print-queue.sh bash scripts/with-display.sh \
    bash -c windows_tests
windows=$?

wait $host_job
host=$?
echo "--- host layer"
cat "$logs/host.log"
wait $release_job
release=$?
echo "--- release: the other build, make dist, the shipped programs, the installer round trips"
cat "$logs/release.log"

if [[ $host -ne 0 || $release -ne 0 || $windows -ne 0 ]]; then
    echo "make test: FAILED (host $host, release $release, windows $INKWISP_ARCH $windows)"
    exit 1
fi
echo "make test: all layers passed (windows tests on the $INKWISP_ARCH build)"
