#!/usr/bin/env bash
# Runs a command with a local CUPS server whose default queue is a PDF printer (Debian's cups and
# cups-pdf) writing into the build folder, so that the printing tests print on a real queue.
# Afterwards it puts back what it changed: the default printer, the queue, the queue's cups-pdf
# settings, and the scheduler if it started one. Without root or CUPS the command runs as it is and
# the printing tests report themselves skipped. Every wait is bounded.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
source "$root/scripts/arch.sh"
build=$INKWISP_BUILD
queue=Inkwisp_PDF
out=$build/printed
conf=/etc/cups/cups-pdf-inkwisp.conf
ppd=/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd

note() { echo "print queue: $*" >&2; }

if [[ $(id -u) -ne 0 ]] || ! command -v cupsd >/dev/null ||
    [[ ! -x /usr/lib/cups/backend/cups-pdf || ! -f $ppd ]]; then
    note "needs root, cups and printer-driver-cups-pdf; running without a queue"
    exec "$@"
fi

# Two runs at once would fight over the default queue and its output folder: take turns.
exec 9>/tmp/inkwisp-print-queue.lock
if ! flock -w 900 9; then
    note "another run kept the queue too long; running without it"
    exec 9>&-
    exec "$@"
fi

scheduler=""
added=0
previous=""

scheduler_running() { timeout 5 lpstat -r 2>/dev/null | grep -q '^scheduler is running'; }

wait_until() {
    local tenths=$1
    shift
    for _ in $(seq "$tenths"); do
        "$@" && return 0
        sleep 0.1
    done
    return 1
}

no_jobs() { [[ -z $(timeout 5 lpstat -o 2>/dev/null) ]]; }
scheduler_gone() { ! kill -0 "$scheduler" 2>/dev/null; }

restore() {
    trap - EXIT INT TERM
    if [[ $added -eq 1 || -n $scheduler ]]; then
        if ! wait_until 300 no_jobs; then
            note "jobs left after 30 s; cancelling them"
            timeout 10 cancel -a "$queue" >/dev/null 2>&1
        fi
    fi
    if [[ -n $previous && $previous != "$queue" ]]; then
        timeout 20 lpadmin -d "$previous" >/dev/null 2>&1
    fi
    if [[ $added -eq 1 ]]; then
        timeout 20 lpadmin -x "$queue" >/dev/null 2>&1
    fi
    rm -f "$conf"
    if [[ -n $scheduler ]]; then
        kill "$scheduler" 2>/dev/null
        wait_until 100 scheduler_gone || kill -9 "$scheduler" 2>/dev/null
        wait "$scheduler" 2>/dev/null
    fi
}

trap restore EXIT
trap 'exit 130' INT TERM

if ! scheduler_running; then
    mkdir -p /run/cups
    setsid cupsd -f </dev/null >/dev/null 2>&1 9>&- &
    scheduler=$!
    if ! wait_until 100 scheduler_running; then
        note "cupsd did not start; running without a queue"
        "$@" 9>&-
        exit $?
    fi
fi

# A settings file of the queue's own leaves the shared cups-pdf.conf alone.
mkdir -p "$out"
printf 'Out %s\nLabel 1\n' "$out" >"$conf"

previous=$(timeout 5 lpstat -d 2>/dev/null | sed -n 's/^system default destination: //p')
timeout 5 lpstat -p "$queue" >/dev/null 2>&1 || added=1
# The device names the settings file above: cups-pdf:/inkwisp reads cups-pdf-inkwisp.conf.
timeout 20 lpadmin -p "$queue" -v cups-pdf:/inkwisp -E -P "$ppd" >/dev/null 2>&1 ||
    note "could not set up the queue $queue"
timeout 20 lpadmin -d "$queue" >/dev/null 2>&1

# The lock stays with this script: a wineserver that outlives the command must not hold it.
"$@" 9>&-
exit $?
