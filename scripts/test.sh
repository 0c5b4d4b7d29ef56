#!/usr/bin/env bash
# Runs every test layer: host (native, sanitizers), the shipped executables read from their files,
# then wine and e2e on a private display, on the Windows build that this machine runs
# (scripts/arch.sh).
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

ctest --preset host --output-on-failure -j "$(nproc)"
host=$?

# Both architectures' programs are checked without running them, on every machine.
/usr/bin/python3 tests/shipped_exe.py build/windows/Inkwisp/inkwisp.exe \
    build/windows-x64/Inkwisp/inkwisp.exe
shipped=$?

source scripts/arch.sh
echo "windows tests: $INKWISP_ARCH_TITLE ($INKWISP_ARCH_WHY)"
windows_tests() {
    # Every test runs at 96 DPI unless it asks for another screen itself.
    unset INKWISP_WINE_DPI
    source scripts/wine-env.sh
    # The 96-DPI prefix, and the 192-DPI one of the tests that ask for it, each with its server.
    bash scripts/wine-prefix.sh $INKWISP_WINE_TEST_DPIS
    # The test cases are found once, here: two ctest runs that look for them at once write the same
    # lists, and one may read a list half written and leave its cases out.
    ctest --preset "$INKWISP_PRESET" -N >/dev/null
    # The installer round trips, the longest test, keep to prefixes, a HOME and a display of their
    # own: they run from the first second beside everything else, whose e2e tests run alone.
    local install=$INKWISP_BUILD/install-test.log
    ctest --preset "$INKWISP_PRESET" --output-on-failure -R '^e2e\.test_install$' >"$install" 2>&1 &
    local installer=$!
    # Wine tests run side by side; what they share is locked (RESOURCE_LOCK, RUN_SERIAL), and
    # the e2e tests, which share the display, run alone. Twice as many as there are cores were
    # quicker, but twice in five runs a test's Wine process then hung at its exit.
    ctest --preset "$INKWISP_PRESET" --output-on-failure -j "$(nproc)" -E '^e2e\.test_install$'
    local status=$?
    wait $installer || status=1
    cat "$install"
    bash scripts/wine-end.sh $INKWISP_WINE_TEST_DPIS
    return $status
}
export -f windows_tests
INKWISP_SCREEN=1280x1024x24 bash scripts/with-print-queue.sh bash scripts/with-display.sh \
    bash -c windows_tests
windows=$?

if [[ $host -ne 0 || $shipped -ne 0 || $windows -ne 0 ]]; then
    echo "make test: FAILED (host $host, shipped $shipped, windows $INKWISP_ARCH $windows)"
    exit 1
fi
echo "make test: all layers passed (windows tests on the $INKWISP_ARCH build)"
