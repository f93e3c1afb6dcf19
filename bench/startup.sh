#!/bin/bash
# Start-up time of the calculator under Xvfb: from exec to the first frame on the screen,
# and the time spent loading the textures, over five runs in fresh working directories.
# Usage: bench/startup.sh [TESSEL-BINARY [TEX-FOLDER]]  (default: build/tessel, build/run/tex)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
tessel=$(realpath "${1:-$root/build/tessel}")
tex=$(realpath "${2:-$root/build/run/tex}")
runs=5
work=$(mktemp -d /tmp/tessel-bench.XXXXXX)
xvfb=""
pid=""

cleanup() {
    [ -z "$pid" ] || kill -KILL -- "-$pid" 2>/dev/null || true
    [ -z "$xvfb" ] || kill "$xvfb" 2>/dev/null || true
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

for n in $(seq 100 199); do
    [ -e "/tmp/.X$n-lock" ] && continue
    Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp -noreset >/dev/null 2>&1 &
    xvfb=$!
    export DISPLAY=":$n"
    for _ in $(seq 50); do
        xdotool getdisplaygeometry >/dev/null 2>&1 && break 2
        sleep 0.1
    done
    kill "$xvfb" 2>/dev/null || true
    xvfb=""
done
[ -n "$xvfb" ] || { echo "no X server could be started on :100..:199" >&2; exit 1; }

median() {
    sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}

: >"$work/first-frame.ms"
: >"$work/textures.ms"
for run in $(seq "$runs"); do
    dir=$(mktemp -d "$work/run.XXXXXX")
    cp -r "$tex" "$dir/tex"
    # The clock is read in the process that then becomes the calculator: no fork between.
    (
        cd "$dir"
        start=${EPOCHREALTIME/./}
        echo "${start}000" >start.ns
        TESSEL_TIMING=1 exec setsid "$tessel" 2>stderr.log
    ) &
    pid=$!
    for _ in $(seq 300); do
        grep -q '^tessel: first frame ' "$dir/stderr.log" 2>/dev/null && break
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.1
    done
    kill -KILL -- "-$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
    pid=""
    frame=$(sed -n 's/^tessel: first frame \([0-9]*\)$/\1/p' "$dir/stderr.log")
    textures=$(sed -n 's/^tessel: textures loaded in \([0-9.]*\) ms$/\1/p' "$dir/stderr.log")
    if [ -z "$frame" ] || [ -z "$textures" ]; then
        echo "run $run: no timing lines from $tessel (is TESSEL_TIMING supported?)" >&2
        cat "$dir/stderr.log" >&2
        exit 1
    fi
    ms=$(awk -v a="$(cat "$dir/start.ns")" -v b="$frame" 'BEGIN { printf "%.1f", (b - a) / 1e6 }')
    echo "run $run: exec to first frame $ms ms, textures loaded in $textures ms"
    echo "$ms" >>"$work/first-frame.ms"
    echo "$textures" >>"$work/textures.ms"
done
echo "median exec to first frame: $(median <"$work/first-frame.ms") ms"
echo "median texture loading: $(median <"$work/textures.ms") ms"
