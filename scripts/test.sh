#!/usr/bin/env bash
# Runs every test layer: host (native, sanitizers), the shipped executables read from their files,
# then wine and e2e on a private display, on the Windows build that this machine runs
# (scripts/arch.sh).
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

bash scripts/step.sh "host tests" ctest --preset host --output-on-failure -j "$(nproc)"
host=$?

# Both architectures' programs are checked without running them, on every machine.
bash scripts/step.sh "shipped programs checked from their files" \
    /usr/bin/python3 tests/shipped_exe.py build/windows/Inkwisp/inkwisp.exe \
    build/windows-x64/Inkwisp/inkwisp.exe
shipped=$?

source scripts/arch.sh
echo "windows tests: $INKWISP_ARCH_TITLE ($INKWISP_ARCH_WHY)"
# The e2e tests, on a display and in Wine prefixes of their own (their servers are ended between
# tests), one at a time: they share the display's input. The printing one shares the print queue
# with the wine tests that print, and waits until those have ended ($1 appears).
e2e_tests() {
    export INKWISP_WINE_SET=e2e
    source scripts/wine-env.sh
    # Their servers start again here, on this display.
    bash scripts/wine-prefix.sh $INKWISP_WINE_TEST_DPIS
    bash scripts/step.sh "e2e tests ($INKWISP_ARCH, beside the wine tests)" \
        ctest --preset "$INKWISP_PRESET" --output-on-failure -L e2e -E '^e2e\.test_(install|print)$'
    local status=$?
    while [[ ! -e $1 ]]; do sleep 1; done
    bash scripts/step.sh "e2e printing test (after the wine tests)" \
        ctest --preset "$INKWISP_PRESET" --output-on-failure -R '^e2e\.test_print$' || status=1
    bash scripts/wine-end.sh $INKWISP_WINE_TEST_DPIS
    return $status
}
windows_tests() {
    # Every test runs at 96 DPI unless it asks for another screen itself.
    unset INKWISP_WINE_DPI
    source scripts/wine-env.sh
    # The 96-DPI prefix, and the 192-DPI one of the tests that ask for it, each with its server.
    bash scripts/step.sh "Wine prefixes and servers" bash scripts/wine-prefix.sh $INKWISP_WINE_TEST_DPIS
    # The e2e tests' prefixes are made here too, before anything runs beside: a new prefix's first
    # boot, made beside the wine tests, once failed and left the prefix at 96 DPI.
    INKWISP_WINE_SET=e2e bash scripts/step.sh "Wine prefixes of the e2e tests" \
        bash scripts/wine-prefix.sh $INKWISP_WINE_TEST_DPIS
    # The test cases are found once, here: two ctest runs that look for them at once write the same
    # lists, and one may read a list half written and leave its cases out.
    ctest --preset "$INKWISP_PRESET" -N >/dev/null
    # The installer round trips, the longest test, keep to prefixes, a HOME and a display of their
    # own, and so do the other e2e tests: both run from the first second beside the wine tests.
    local install=$INKWISP_BUILD/install-test.log e2e=$INKWISP_BUILD/e2e-test.log
    bash scripts/step.sh "installer round trips (beside the other tests)" \
        ctest --preset "$INKWISP_PRESET" --output-on-failure -R '^e2e\.test_install$' >"$install" 2>&1 &
    local installer=$!
    local wine_done=$INKWISP_BUILD/wine-tests.done
    rm -f "$wine_done"
    bash scripts/with-display.sh bash -c 'e2e_tests "$1"' _ "$wine_done" >"$e2e" 2>&1 &
    local e2e_chain=$!
    # Wine tests run side by side, what they share locked (RESOURCE_LOCK, RUN_SERIAL). Twice as
    # many as there are cores were quicker, but twice in five runs a test's Wine process then hung
    # at its exit.
    bash scripts/step.sh "wine tests ($INKWISP_ARCH)" \
        ctest --preset "$INKWISP_PRESET" --output-on-failure -j "$(nproc)" -LE e2e
    local status=$?
    touch "$wine_done"
    wait $e2e_chain || status=1
    cat "$e2e"
    wait $installer || status=1
    cat "$install"
    bash scripts/wine-end.sh $INKWISP_WINE_TEST_DPIS
    return $status
}
export -f e2e_tests
export -f windows_tests
INKWISP_SCREEN=1280x1024x24 bash scripts/with-print-queue.sh bash scripts/with-display.sh \
    bash -c windows_tests
windows=$?

if [[ $host -ne 0 || $shipped -ne 0 || $windows -ne 0 ]]; then
    echo "make test: FAILED (host $host, shipped $shipped, windows $INKWISP_ARCH $windows)"
    exit 1
fi
echo "make test: all layers passed (windows tests on the $INKWISP_ARCH build)"
