#!/usr/bin/env bash
# Wake-ups of the whole program at rest: the context switches of all its threads over
# a quiet interval, on an idle virtual X server with the main window open.
#   idle_wakeups.sh VELMORA [SECONDS]
set -eu
app=$(realpath "${1:?usage: idle_wakeups.sh VELMORA [SECONDS]}")
seconds=${2:-10}
if [[ ${3:-} != --inside ]]; then
    export XDG_RUNTIME_DIR=$(mktemp -d)
    exec xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$app" "$seconds" --inside
fi
switches() {  # the sum over every thread of the process
    local total=0 f n
    for f in /proc/"$1"/task/*/status; do
        while read -r key n; do
            [[ $key == voluntary_ctxt_switches: || $key == nonvoluntary_ctxt_switches: ]] && total=$((total + n))
        done <"$f"
    done
    echo "$total"
}
QT_QPA_PLATFORM=xcb "$app" &
pid=$!
xdotool search --sync --onlyvisible --name '^Velmora$' >/dev/null
sleep 2  # let start-up settle
before=$(switches "$pid")
sleep "$seconds"
after=$(switches "$pid")
threads=$(ls /proc/"$pid"/task | wc -l)
kill "$pid"
wait "$pid" 2>/dev/null || true
echo "threads $threads, context switches in ${seconds} s: $((after - before)) ($(( (after - before) / seconds )) a second)"
