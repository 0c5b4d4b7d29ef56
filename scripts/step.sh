#!/usr/bin/env bash
# step.sh <name> <command...>: runs the command and, when INKWISP_STEPS names a file, adds the
# step's name, wall time in seconds and exit status to it, a line each, for the table that
# `make test` and `make lint` print at their end (scripts/steps-table.sh). Exits with the
# command's status.
name=$1
shift
start=$(date +%s%N)
"$@"
status=$?
if [[ -n "${INKWISP_STEPS:-}" ]]; then
    mkdir -p "$(dirname "$INKWISP_STEPS")"
    elapsed=$((($(date +%s%N) - start) / 100000000))
    printf '%s\t%d.%d\t%d\n' "$name" $((elapsed / 10)) $((elapsed % 10)) "$status" >>"$INKWISP_STEPS"
fi
exit $status
