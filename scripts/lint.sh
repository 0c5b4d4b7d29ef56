#!/usr/bin/env bash
# make lint: builds inkwisp.exe with Clang for the same 32-bit Windows target (warnings are
# errors), then runs clang-tidy (.clang-tidy) over the product sources with that build's compile
# commands, so that it reads the mingw-w64 Windows headers. Fails on any warning or finding.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
jobs=${JOBS:-$(nproc)}

cmake --preset lint >/dev/null || exit 1
cmake --build --preset lint -j "$jobs" || { echo "make lint: the Clang build failed"; exit 1; }

# The product's sources: every room's .cpp file, not its tests or fuzz targets.
mapfile -t sources < <(/usr/bin/python3 - build/lint/compile_commands.json <<'PY'
import json, re, sys
rooms = r"/(app|canvas|gesture|pen|memo|settings|imaging|records|res)/[^/]*\.cpp$"
seen = set()
for entry in json.load(open(sys.argv[1])):
    f = entry["file"]
    if re.search(rooms, f) and not re.search(r"_(test|fuzz)\.cpp$", f) and f not in seen:
        seen.add(f)
        print(f)
PY
)
if [[ ${#sources[@]} -eq 0 ]]; then
    echo "make lint: no product sources in build/lint/compile_commands.json"
    exit 1
fi

log=build/lint/clang-tidy.log
printf '%s\n' "${sources[@]}" |
    xargs -P "$jobs" -n 1 clang-tidy -p build/lint --quiet >"$log" 2>&1
status=$?
grep -E '(warning|error):' "$log" | grep -v 'warnings generated' | sort -u
if [[ $status -ne 0 ]] || grep -qE '(warning|error):' "$log"; then
    echo "make lint: clang-tidy found the above in ${#sources[@]} files (full log: $log)"
    exit 1
fi
echo "make lint: Clang build and clang-tidy clean (${#sources[@]} files)"
