#!/usr/bin/env bash
# make fuzz: runs each fuzz target of the host build (libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer) for a bounded time and prints its executions. Bounds per target:
# INKWISP_FUZZ_SECONDS (default 60) and INKWISP_FUZZ_RUNS (default none). Each target keeps its
# growing corpus, its last log and any failing input (crash-*, leak-*, timeout-*, oom-*) in
# build/host/fuzz/runs/<target>/. Fails when a target fails or finds anything.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
fuzz=$root/build/host/fuzz
seconds=${INKWISP_FUZZ_SECONDS:-60}
runs=${INKWISP_FUZZ_RUNS:--1}
targets=(settings_codec_fuzz memo_path_fuzz image_header_fuzz dib_header_fuzz snapshot_place_fuzz)
declare -A seeds=([settings_codec_fuzz]=settings/fuzz_seeds [image_header_fuzz]=imaging/fuzz_seeds
    [dib_header_fuzz]=imaging/dib_fuzz_seeds [snapshot_place_fuzz]=memo/fuzz_seeds)

status=0
printf '%-22s %12s %8s %10s  %s\n' target executions seconds 'exec/s' found
for target in "${targets[@]}"; do
    work=$fuzz/runs/$target
    mkdir -p "$work/corpus"
    corpora=("$work/corpus")
    [[ -n ${seeds[$target]:-} ]] && corpora+=("$root/${seeds[$target]}")
    start=$(date +%s.%N)
    "$fuzz/$target" -max_total_time="$seconds" -runs="$runs" -max_len=2048 \
        -print_final_stats=1 -artifact_prefix="$work/" "${corpora[@]}" >"$work/last-run.log" 2>&1
    result=$?
    elapsed=$(echo "$(date +%s.%N) - $start" | bc)
    executions=$(sed -n 's/^stat::number_of_executed_units: *//p' "$work/last-run.log")
    found=$(sed -n 's/.*Test unit written to //p' "$work/last-run.log" | tr '\n' ' ')
    if [[ $result -ne 0 || -z $executions ]]; then
        status=1
        found=${found:-"exit status $result, see $work/last-run.log"}
    fi
    printf '%-22s %12s %8.1f %10.0f  %s\n' "$target" "${executions:-?}" "$elapsed" \
        "$(echo "${executions:-0} / $elapsed" | bc -l)" "${found:-nothing}"
done
exit $status
