#!/bin/bash
# What a user's interaction costs, measured from outside the running calculator at 1920 x 1080
# and 3840 x 2160: idle, the pointer moving over the keys, a right-drag turning the calculator
# (about 95 mouse moves a second each), and key presses. For each: the CPU it takes (cores,
# from /proc), the pictures the window shows a second (XDamage), and for key presses the time
# from the key event (XTest) to the first change on the screen, median and slowest.
# Each run starts the program afresh on an X server of its own size, without a window manager;
# with a second binary the two take turns run by run, and the medians of the runs are printed
# with the ratio of the second to the first.
# Usage: bench/interaction.sh [TESSEL [OTHER-TESSEL]]   (default: build/tessel)
#        RUNS=N runs (default 7), MEASURE_SECONDS=N seconds a measurement (default 4),
#        SIZES="1920x1080 ..." the screen sizes.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
# shellcheck source-path=SCRIPTDIR source=lib.sh
source "$root/bench/lib.sh"
build=${BUILD:-$root/build}
binaries=("$(realpath "${1:-$build/tessel}")")
[ -z "${2:-}" ] || binaries+=("$(realpath "$2")")
runs=${RUNS:-7}
seconds=${MEASURE_SECONDS:-4}
sizes=${SIZES:-1920x1080 3840x2160}
watch=$build/bench/interaction_watch
modes=(idle hover drag keys)
bench_work interaction

[ -x "$watch" ] || { echo "not built: $watch" >&2; exit 1; }

# stop PID: ends a process of this script's and waits for it.
stop() {
    kill "$1" 2>/dev/null || true
    wait "$1" 2>/dev/null || true
}

# median FILE COLUMN: the median of a column of numbers.
median() {
    sort -g -k"$2,$2" "$1" | awk -v c="$2" '{v[NR] = $c} END {print v[int((NR + 1) / 2)]}'
}

for size in $sizes; do
    start_xvfb "${size}x24" 150 /dev/null
    for run in $(seq "$runs"); do
        for b in "${!binaries[@]}"; do
            dir=$work/$b
            rm -rf "$dir"
            mkdir -p "$dir"
            cp -r "$build/run/tex" "$dir/tex"
            xdotool mousemove 0 0
            (cd "$dir" && exec "${binaries[$b]}" >/dev/null 2>&1) &
            program=$!
            for mode in "${modes[@]}"; do
                # idle: cores pictures; keys: also median and slowest latency.
                "$watch" "$program" Tessel "$mode" "$seconds" |
                    awk '{print $2, $4, ($6 == "" ? "-" : $6), ($8 == "" ? "-" : $8)}' \
                        >>"$work/$size.$b.$mode"
            done
            stop "$program"
            program=""
        done
        echo "run $run of $runs at $size done" >&2
    done
    stop "$XVFB_PID"
    XVFB_PID=""
done

echo "medians of $runs runs, $seconds s each; the last column: the second binary over the first"
printf '%-10s %-6s %-22s' size what figure
for b in "${!binaries[@]}"; do printf ' %12s' "binary $((b + 1))"; done
[ "${#binaries[@]}" -lt 2 ] || printf ' %8s' ratio
echo
for size in $sizes; do
    for mode in "${modes[@]}"; do
        figures=("cores:1" "pictures a second:2")
        [ "$mode" != keys ] || figures+=("key to screen ms, median:3" "key to screen ms, slowest:4")
        for figure in "${figures[@]}"; do
            label=${figure%:*}
            column=${figure##*:}
            printf '%-10s %-6s %-22s' "$size" "$mode" "$label"
            values=()
            for b in "${!binaries[@]}"; do
                values+=("$(median "$work/$size.$b.$mode" "$column")")
                printf ' %12s' "${values[$b]}"
            done
            if [ "${#binaries[@]}" -ge 2 ]; then
                awk -v a="${values[0]}" -v b="${values[1]}" \
                    'BEGIN {if (a > 0) printf " %8.2f", b / a; else printf " %8s", "-"}'
            fi
            echo
        done
    done
done
