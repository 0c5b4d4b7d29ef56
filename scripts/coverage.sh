#!/usr/bin/env bash
# make coverage: line coverage of the product per room, from the host tests and the wine tests,
# each in a build of its own with gcov's counters (build/coverage-host, build/coverage-windows),
# so the normal builds are never touched. The wine tests run on the build that this machine runs
# (scripts/arch.sh) and write their counters from inside Wine to the build folders' Unix paths
# (through Wine's z: drive); that architecture's mingw gcov reads them.
# gcovr gathers each build's figures; a line counts as run when either build ran it. Writes
# build/coverage-report.txt as well.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
jobs=${JOBS:-$(nproc)}
host=$root/build/coverage-host
windows=$root/build/coverage-windows

build() { # build folder, extra cmake arguments...
    local dir=$1
    shift
    cmake -S "$root" -B "$dir" -DCMAKE_BUILD_TYPE=Debug -DINKWISP_COVERAGE=ON "$@" >/dev/null &&
        cmake --build "$dir" -j "$jobs" >"$dir.build.log" 2>&1 ||
        { echo "make coverage: building $dir failed (see $dir.build.log)"; exit 1; }
    # Only this run's counters; find does not follow the Wine prefix's link to /.
    find "$dir" -name '*.gcda' -delete
}

build "$host"
# The fuzz targets are clang's, not gcov's: only the GoogleTest cases count.
ctest --test-dir "$host" -L host -E '_fuzz$' -j "$jobs" >"$host.test.log" 2>&1 ||
    echo "make coverage: some host tests failed (see $host.test.log); counting what ran"

source scripts/arch.sh
if [[ $INKWISP_ARCH == x64 ]]; then
    toolchain=mingw-x86_64 gcov=x86_64-w64-mingw32-gcov-posix
else
    toolchain=mingw-i686 gcov=i686-w64-mingw32-gcov-posix
fi
build "$windows" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/$toolchain.cmake"
wine_tests() {
    source scripts/wine-env.sh
    bash scripts/wine-prefix.sh $INKWISP_WINE_TEST_DPIS
    ctest --test-dir "$INKWISP_BUILD" -L wine -j "$jobs"
    local status=$?
    bash scripts/wine-end.sh $INKWISP_WINE_TEST_DPIS
    return $status
}
export -f wine_tests
INKWISP_BUILD=$windows bash scripts/with-display.sh bash -c wine_tests >"$windows.test.log" 2>&1 ||
    echo "make coverage: some wine tests failed (see $windows.test.log); counting what ran"

# The product's sources: the rooms' files, not their tests or fuzz targets.
mapfile -t rooms < <(bash scripts/rooms.sh)
filters=(--filter "($(IFS='|'; echo "${rooms[*]}"))/[^/]+\.(cpp|h)\$"
         --exclude '.*_(test|fuzz)\.cpp$')
gcovr -r "$root" "${filters[@]}" --gcov-executable gcov --json "$host/coverage.json" "$host" ||
    exit 1
gcovr -r "$root" "${filters[@]}" --gcov-executable "$gcov" \
    --json "$windows/coverage.json" "$windows" || exit 1

report=(/usr/bin/python3 - "$host/coverage.json" "$windows/coverage.json" "${rooms[@]}")
"${report[@]}" <<'PY' | tee build/coverage-report.txt
import json, sys
from collections import defaultdict

# From the top floor down.
ROOMS = list(reversed(sys.argv[3:]))
lines = defaultdict(dict)      # file -> line -> run at least once
functions = defaultdict(dict)  # file -> first line -> [name, run at least once]
for report in sys.argv[1:3]:
    for entry in json.load(open(report))["files"]:
        name = entry["file"]
        for line in entry["lines"]:
            if line.get("gcovr/noncode"):
                continue
            number = line["line_number"]
            lines[name][number] = lines[name].get(number, False) or line["count"] > 0
        for function in entry.get("functions", []):
            known = functions[name].setdefault(function["lineno"], [function["name"], False])
            known[1] = known[1] or function["execution_count"] > 0

print(f"{'room':<10}{'lines':>8}{'run':>8}{'cover':>9}")
total = run = 0
for room in ROOMS:
    counts = [hit for f, ls in lines.items() if f.split("/")[0] == room for hit in ls.values()]
    total += len(counts)
    run += sum(counts)
    share = f"{100 * sum(counts) / len(counts):.1f} %" if counts else "-"
    print(f"{room:<10}{len(counts):>8}{sum(counts):>8}{share:>9}")
print(f"{'all':<10}{total:>8}{run:>8}{100 * run / max(total, 1):>7.1f} %")

# A function's lines run from its first line to the next function's in the same file.
least = []
for name, starts in functions.items():
    ordered = sorted(starts)
    for i, start in enumerate(ordered):
        label, ran = starts[start]
        end = ordered[i + 1] if i + 1 < len(ordered) else 1 << 30
        body = [hit for n, hit in lines[name].items() if start <= n < end]
        missed = body.count(False)
        if missed:
            least.append((missed, len(body), "yes" if ran else "never", f"{name}:{start}", label))
least.sort(key=lambda item: (-item[0], item[3]))
print()
print("Functions with the most lines no test runs:")
print(f"{'unrun':>5} {'of':>4}  {'called':<6} {'where':<32} function")
for missed, size, ran, where, label in least[:15]:
    print(f"{missed:>5} {size:>4}  {ran:<6} {where:<32} {label}")
PY
