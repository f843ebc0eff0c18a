#!/usr/bin/env bash
# The first run of a fresh program beside its later runs, in the executable a person
# starts, on a virtual X server with the xcb platform.
#
#   first_run.sh VELMORA [PROGRAMS] [SECONDS]
#
# Each of PROGRAMS (default 4) fresh programs gets, one after another: "Unstable" in
# animation mode (the default) as its first run, Stop, "Unstable" again in animation
# mode, Stop, then "Unstable" in path mode. The steps per second of each run come
# from the simulation's own clock, Variables::t / Variables::dt, read from the
# process's memory SECONDS (default 2.5) apart, which does not stop the program.
# Prints one row a program and the ratios first / later animation run and
# first / path run. A first run that loads the star pictures and slows the steps
# after it reads well below 1.
#
# Set CPUS to pin the X server and the programs (default: no pinning), e.g. CPUS=6,7.
# Needs xvfb-run, xdotool, nm and read access to the program's memory (root, or
# ptrace allowed).
set -eu
app=$(realpath "${1:?usage: first_run.sh VELMORA [PROGRAMS] [SECONDS]}")
programs=${2:-4}
seconds=${3:-2.5}
pin=()
[[ -z ${CPUS:-} ]] || pin=(taskset -c "$CPUS")

if [[ ${4:-} != --inside ]]; then
    for tool in xvfb-run xdotool nm; do
        command -v "$tool" >/dev/null || { echo "first_run.sh: $tool is not installed" >&2; exit 1; }
    done
    export XDG_RUNTIME_DIR=$(mktemp -d)
    trap 'rm -rf "$XDG_RUNTIME_DIR"' EXIT
    "${pin[@]}" xvfb-run -a -n $((100 + RANDOM % 400)) -s "-screen 0 1024x768x24 -noreset" \
        "$0" "$app" "$programs" "$seconds" --inside
    exit
fi

# The symbols' offsets in the file; a position-independent executable adds its load base.
symbol() { nm -C "$app" | awk -v name="$1" '$3 == name { print $1; exit }'; }
t_off=$((16#$(symbol Variables::t)))
dt_off=$((16#$(symbol Variables::dt)))
pie=0
[[ $(od -An -tx1 -j16 -N1 "$app" | tr -d ' ') == 03 ]] && pie=1  # ELF type ET_DYN

# A double of the process at an address.
read_double() { dd if=/proc/"$pid"/mem bs=8 count=1 skip="$1" iflag=skip_bytes status=none | od -An -tf8 | tr -d ' '; }
now() { date +%s.%N; }
# Steps of the current run so far, and the time they were read.
steps() { echo "$(now) $(read_double $((base + t_off))) $(read_double $((base + dt_off)))"; }
# Steps per second of the run that goes now, in millions.
rate() {
    local a b
    a=$(steps)
    sleep "$seconds"
    b=$(steps)
    awk -v a="$a" -v b="$b" 'BEGIN { split(a, p); split(b, q);
        printf "%.2f", (q[2] / q[3] - p[2] / p[3]) / (q[1] - p[1]) / 1e6 }'
}

wid=""
# click X Y: a point of the window's content area, below the 19-pixel menu bar.
click() { xdotool mousemove --window "$wid" "$1" $((19 + $2)) click 1; }
unstable() { click 46 134; }
stop_run() { click 46 180; sleep 0.5; }
paths() { click 55 351; }

median() { sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

printf '%-8s %12s %12s %12s %14s %13s\n' program "first anim" "later anim" paths "first/later" "first/paths"
later_ratios=() path_ratios=()
for ((i = 1; i <= programs; i++)); do
    QT_QPA_PLATFORM=xcb "$app" 2>/dev/null &
    pid=$!
    wid=$(timeout 15 xdotool search --sync --onlyvisible --name '^Velmora$' | head -1)
    base=0
    ((pie == 0)) || base=$((16#$(awk -v exe="$(readlink /proc/"$pid"/exe)" '$6 == exe { split($1, r, "-"); print r[1]; exit }' /proc/"$pid"/maps)))
    sleep 1  # start-up settles
    unstable && sleep 1 && first=$(rate) && stop_run
    unstable && sleep 1 && later=$(rate) && stop_run
    paths && unstable && sleep 1 && path=$(rate) && stop_run
    kill "$pid" && wait "$pid" 2>/dev/null || true
    r1=$(awk -v a="$first" -v b="$later" 'BEGIN { printf "%.3f", a / b }')
    r2=$(awk -v a="$first" -v b="$path" 'BEGIN { printf "%.3f", a / b }')
    later_ratios+=("$r1") path_ratios+=("$r2")
    printf '%-8s %12s %12s %12s %14s %13s\n' "$i" "$first" "$later" "$path" "$r1" "$r2"
done
echo "Million steps a second. Medians: first/later $(printf '%s\n' "${later_ratios[@]}" | median)," \
    "first/paths $(printf '%s\n' "${path_ratios[@]}" | median)"
