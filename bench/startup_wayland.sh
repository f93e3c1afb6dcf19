#!/bin/bash
# Start-up of the calculator as a Wayland client, as a user of a Wayland desktop sees it: weston
# (its X11 back end, no panel, so that nothing but the calculator changes its picture) nested
# in Xvfb, at output scale 1 and then 2. From exec to the first moment weston's output shows
# the complete first picture (equal to the settled picture a warm-up start recorded; see
# bench/startup_watch), and peak RSS. Interleaved runs of each binary given; medians with
# min..max, and with two binaries the median of the run-by-run ratios of the second to the
# first.
# Usage: bench/startup_wayland.sh [TESSEL [OTHER-TESSEL]]   (default: build/tessel).
#        RUNS=N sets the runs (default 7), SCALES the output scales (default "1 2"),
#        WESTON_SOCKET the name of weston's socket (default tessel-bench-wayland).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
# shellcheck source-path=SCRIPTDIR source=lib.sh
source "$root/bench/lib.sh"
build=${BUILD:-$root/build}
runs=${RUNS:-7}
scales=${SCALES:-1 2}
socket=${WESTON_SOCKET:-tessel-bench-wayland}
watch=$build/bench/startup_watch
tex=$build/run/tex
bench_work startup-wayland
weston_pid=""
trap 'kill $weston_pid 2>/dev/null || true; bench_cleanup' EXIT

labels=(first)
declare -A command
command[first]=$(realpath "${1:-$build/tessel}")
if [ $# -ge 2 ]; then
    labels+=(second)
    command[second]=$(realpath "$2")
fi
W=1920
H=1080
start_xvfb "${W}x${H}x24" "${XVFB_FIRST:-150}" /dev/null || exit 1
runtime=$work/runtime
mkdir -m 700 "$runtime"
printf '[core]\nidle-time=0\n[shell]\npanel-position=none\n' >"$work/weston.ini"

# start_weston SCALE: weston filling the screen at that output scale, its pointer in a corner.
start_weston() {
    XDG_RUNTIME_DIR=$runtime weston --backend=x11-backend.so --width=$((W / $1)) \
        --height=$((H / $1)) --scale="$1" --socket="$socket" --config="$work/weston.ini" \
        >"$work/weston-$1.log" 2>&1 &
    weston_pid=$!
    for _ in $(seq 100); do
        [ -S "$runtime/$socket" ] && break
        sleep 0.1
    done
    sleep 0.5
    # Its pointer moves by how far the X pointer moved: swept to a corner, both end there.
    xdotool mousemove "$((W - 1))" "$((H - 1))"
    sleep 0.2
    xdotool mousemove 0 0
    sleep 0.2
}

stop_weston() {
    kill "$weston_pid" 2>/dev/null || true
    wait "$weston_pid" 2>/dev/null || true
    weston_pid=""
    rm -f "$runtime/$socket" "$runtime/$socket.lock"
}

# run LABEL SCALE: one start; appends "main complete rss" to $work/LABEL.SCALE.
run() {
    local label=$1 scale=$2 line
    line=$(cd "$work/$label" && XDG_RUNTIME_DIR=$runtime WAYLAND_DISPLAY=$socket \
        "$watch" "Weston Compositor - screen0" "$work/$label.$scale.reference" 20000 -- \
        "${command[$label]}" 2>/dev/null) || {
        echo "$label at scale $scale: no complete frame within 20 s ($line)" >&2
        exit 1
    }
    cut -d' ' -f2- <<<"$line" >>"$work/$label.$scale"
    # Until weston has taken the window away.
    sleep 1
}

# stats FILE COLUMN: "median (min..max)" of a column.
stats() {
    cut -d' ' -f"$2" "$1" | sort -n |
        awk '{ v[NR] = $1 } END { m = (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2
              printf "%7.1f (%.1f..%.1f)", m, v[1], v[NR] }'
}

for label in "${labels[@]}"; do
    mkdir -p "$work/$label"
    cp -r "$tex" "$work/$label/tex"
done
for scale in $scales; do
    start_weston "$scale"
    # The warm-up start of each records its settled picture.
    for label in "${labels[@]}"; do
        run "$label" "$scale"
        : >"$work/$label.$scale"
    done
    for _ in $(seq "$runs"); do
        for label in "${labels[@]}"; do run "$label" "$scale"; done
    done
    stop_weston
    echo "output scale $scale, $runs interleaved runs"
    printf '  %-7s %-24s %s\n' binary "complete frame ms" "peak RSS MiB"
    for label in "${labels[@]}"; do
        printf '  %-7s %-24s %s\n' "$label" "$(stats "$work/$label.$scale" 2)" \
            "$(stats "$work/$label.$scale" 3)"
    done
    if [ ${#labels[@]} -eq 2 ]; then
        paste -d' ' <(cut -d' ' -f2 "$work/second.$scale") <(cut -d' ' -f2 "$work/first.$scale") |
            awk '{ print $1 / $2 }' | sort -n |
            awk '{ v[NR] = $1 } END { printf "  second / first: %.2f (median of the run-by-run ratios)\n",
                  (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
    fi
done
