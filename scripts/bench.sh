#!/usr/bin/env bash
# make bench: performance figures of the real code under Wine. The virtual screen is 1980 x 1200
# so that a 1920 x 1080 client area fits beside the vertical scroll bar and below the menu bar.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
export root

bench() {
    source "$root/scripts/wine-env.sh"
    bash "$root/scripts/wine-prefix.sh"
    local output folder
    output=$(wine "$INKWISP_BUILD/bench/inkwisp_bench.exe" "$@" </dev/null 2>/dev/null | tr -d '\r')
    echo "$output"
    folder=$(winepath -u "$(sed -n 's/^files: //p' <<<"$output")" 2>/dev/null)
    if [[ -f "$folder/bench-busy.bmp" ]]; then
        local times=() save
        for _ in 1 2 3 4 5; do
            local start=$(date +%s%N)
            /usr/bin/convert "$folder/bench-busy.bmp" "$folder/peer.png"
            times+=($(( ($(date +%s%N) - start) / 1000 )))
        done
        save=$(sed -n 's/^ComposeCanvas + SaveCompositePng[^0-9]*\([0-9.]*\).*/\1/p' <<<"$output")
        /usr/bin/python3 - "$save" "${times[@]}" <<'PY'
import statistics, sys
save, peer = float(sys.argv[1]), statistics.median(int(v) / 1000 for v in sys.argv[2:])
print("%-52s %10.2f %10.2f" % ("ImageMagick peer: same picture to PNG", peer,
                               max(int(v) / 1000 for v in sys.argv[2:])))
print("%-52s %10.2f" % ("  save / peer (median)", save / peer))
PY
    fi
    wineserver -k
}

# With a window manager: without one Wine stalls about 2 s whenever a window is hidden.
start_time() {
    source "$root/scripts/wine-env.sh"
    bash "$root/scripts/wine-prefix.sh"
    PYTHONPATH="$root/tests/e2e" timeout 300 /usr/bin/python3 "$root/bench/start_time.py" 5
    wineserver -k
}
export -f bench start_time
INKWISP_SCREEN=1980x1200x24 INKWISP_WINDOW_MANAGER=0 bash "$root/scripts/with-display.sh" bash -c 'bench "$@"' _ "$@"
bash "$root/scripts/with-display.sh" bash -c start_time
source "$root/scripts/wine-env.sh"
echo "machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //'), $(wine --version 2>/dev/null), $INKWISP_ARCH_TITLE"
