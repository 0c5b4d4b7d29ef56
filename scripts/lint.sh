#!/usr/bin/env bash
# make lint: builds inkwisp.exe with Clang for 32-bit and for 64-bit Windows (warnings are errors),
# then runs clang-tidy (.clang-tidy) over the product sources with the 64-bit build's compile
# commands. The sources are the same for both architectures and hold no code of one alone, so a
# second pass finds nothing the first could not; the 64-bit one is kept, whose wider size_t shows
# more narrowing, and the 32-bit Clang build checks that architecture's warnings. The lint builds
# take no precompiled headers (CMakePresets.json): clang-tidy reads each file as it stands. Fails
# on any warning or finding.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
jobs=${JOBS:-$(nproc)}

for preset in lint lint-x64; do
    cmake --preset "$preset" >/dev/null || exit 1
    bash scripts/step.sh "lint: Clang build ($preset), warnings are errors" \
        cmake --build --preset "$preset" -j "$jobs" ||
        { echo "make lint: the Clang build ($preset) failed"; exit 1; }
done

preset=lint-x64
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
    bash scripts/step.sh "lint: clang-tidy ($preset, ${#sources[@]} files)" \
        xargs -P "$jobs" -n 1 clang-tidy -p "build/$preset" --quiet >"$log" 2>&1
result=$?
grep -E '(warning|error):' "$log" | grep -v 'warnings generated' | sort -u
if [[ $result -ne 0 ]] || grep -qE '(warning|error):' "$log"; then
    echo "make lint: clang-tidy found the above in ${#sources[@]} files ($preset, full log: $log)"
    exit 1
fi
echo "make lint: Clang builds clean for x86 and x64, clang-tidy clean (${#sources[@]} files)"
