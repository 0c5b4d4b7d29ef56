#!/usr/bin/env bash
# make lint: builds inkwisp.exe with Clang for 32-bit and for 64-bit Windows (warnings are errors),
# then runs clang-tidy (.clang-tidy) over the product sources with each build's compile commands,
# so that it reads the mingw-w64 Windows headers of each architecture. Fails on any warning or
# finding.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
jobs=${JOBS:-$(nproc)}

status=0
for preset in lint lint-x64; do
    cmake --preset "$preset" >/dev/null || exit 1
    cmake --build --preset "$preset" -j "$jobs" ||
        { echo "make lint: the Clang build ($preset) failed"; exit 1; }

    # The product's sources: every room's .cpp file, not its tests or fuzz targets.
    mapfile -t sources < <(/usr/bin/python3 - "build/$preset/compile_commands.json" \
        $(bash scripts/rooms.sh) <<'PY'
import json, re, sys
rooms = r"/(" + "|".join(sys.argv[2:]) + r")/[^/]*\.cpp$"
seen = set()
for entry in json.load(open(sys.argv[1])):
    f = entry["file"]
    if re.search(rooms, f) and not re.search(r"_(test|fuzz)\.cpp$", f) and f not in seen:
        seen.add(f)
        print(f)
PY
    )
    if [[ ${#sources[@]} -eq 0 ]]; then
        echo "make lint: no product sources in build/$preset/compile_commands.json"
        exit 1
    fi

    log=build/$preset/clang-tidy.log
    printf '%s\n' "${sources[@]}" |
        xargs -P "$jobs" -n 1 clang-tidy -p "build/$preset" --quiet >"$log" 2>&1
    result=$?
    grep -E '(warning|error):' "$log" | grep -v 'warnings generated' | sort -u
    if [[ $result -ne 0 ]] || grep -qE '(warning|error):' "$log"; then
        echo "make lint: clang-tidy found the above in ${#sources[@]} files ($preset, full log: $log)"
        status=1
    fi
done
[[ $status -eq 0 ]] &&
    echo "make lint: Clang builds and clang-tidy clean for x86 and x64 (${#sources[@]} files each)"
exit $status
