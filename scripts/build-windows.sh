#!/usr/bin/env bash
# Builds both architectures' inkwisp.exe (both are shipped, and each is checked from its file on
# every machine), and the test executables and the bench only for the build that this machine
# runs (scripts/arch.sh); of the other, only what the installer round trip needs besides.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
source scripts/arch.sh
for preset in windows windows-x64; do
    cmake --preset "$preset" >/dev/null
    if [[ $preset == "$INKWISP_PRESET" ]]; then
        bash scripts/step.sh "build: $preset (program, tests, bench)" \
            cmake --build --preset "$preset" -j "${JOBS:-$(nproc)}"
    else
        # The installer round trip opens a picture through "Open with" in each program's prefix.
        bash scripts/step.sh "build: $preset (program, open_with)" \
            cmake --build --preset "$preset" -j "${JOBS:-$(nproc)}" --target inkwisp open_with
    fi
done
