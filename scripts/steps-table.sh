#!/usr/bin/env bash
# Prints the steps that INKWISP_STEPS recorded (scripts/step.sh): each with its wall time and, when
# it failed, its exit status; then the time from the first step's start to now. Steps that ran
# beside others are marked so in their names, and the total is the wall time, not their sum.
[[ -n "${INKWISP_STEPS:-}" && -f "$INKWISP_STEPS" ]] || exit 0
started=${INKWISP_STEPS_STARTED:-}
echo
echo "where the time went ($(basename "$INKWISP_STEPS"))"
awk -F'\t' '{ printf "  %-58s %7.1f s%s\n", $1, $2, ($3 != 0 ? "   FAILED (" $3 ")" : "") }' \
    "$INKWISP_STEPS"
if [[ -n "$started" ]]; then
    printf '  %-58s %7d s\n' "wall time of the whole run" $(($(date +%s) - started))
fi
