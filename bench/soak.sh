#!/bin/bash
# Soak test: the calculator under Xvfb driven for ten minutes as a restless user would, with
# keys held down, clicks on the keys, turning and zooming drags, the wheel and Page Up / Page
# Down; its resident memory is sampled every 30 s and must end within 10 MiB of what it was
# after the first minute. Not part of the test run (it takes its time): run it by hand.
# Usage: bench/soak.sh [TESSEL-BINARY [TEX-FOLDER]]   SOAK_SECONDS=N sets the length (600).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
# shellcheck source-path=SCRIPTDIR source=lib.sh
source "$root/bench/lib.sh"
tessel=$(realpath "${1:-$root/build/tessel}")
tex=$(realpath "${2:-$root/build/run/tex}")
seconds=${SOAK_SECONDS:-600}
allowed_kib=$((10 * 1024))
bench_work soak

start_xvfb 1024x768x24 150 /dev/null || exit 1

cp -r "$tex" "$work/tex"
(cd "$work" && exec "$tessel" 2>"$work/stderr.log") &
program=$!
xdotool search --sync --onlyvisible --name '^Tessel$' >/dev/null

rss_kib() {
    awk '/^VmRSS:/ { print $2 }' "/proc/$program/status"
}

# One round of a restless user, about five seconds long.
round() {
    local x
    xdotool key --delay 30 Escape 1 2 plus 3 4 equal
    xdotool keydown 5 sleep 0.8 keyup 5
    for x in 420 470 520 560; do xdotool mousemove "$x" 470 click 1 sleep 0.05; done
    xdotool mousemove 470 520 mousedown 1 sleep 0.6 mouseup 1
    xdotool mousemove 300 300 mousedown 3
    for x in 320 360 400 360 320 300; do xdotool mousemove "$x" 320 sleep 0.03; done
    xdotool mouseup 3
    xdotool mousedown 1 mousedown 3 mousemove 300 360 sleep 0.05 mousemove 300 300 \
        mouseup 3 mouseup 1
    xdotool click 4 click 4 click 5 click 5
    xdotool key --delay 5 --repeat 40 Prior
    xdotool key --delay 5 --repeat 40 Next
    xdotool key F1 sleep 0.2 key F1
}

start=$SECONDS
baseline=""
next_sample=$((start + 30))
echo "seconds  RSS KiB"
while [ $((SECONDS - start)) -lt "$seconds" ]; do
    kill -0 "$program" 2>/dev/null || { echo "the calculator ended during the soak" >&2; exit 1; }
    round
    if [ "$SECONDS" -ge "$next_sample" ]; then
        now=$(rss_kib)
        printf '%7d  %7d\n' $((SECONDS - start)) "$now"
        [ -n "$baseline" ] || [ $((SECONDS - start)) -lt 60 ] || baseline=$now
        next_sample=$((next_sample + 30))
    fi
done
sleep 2
final=$(rss_kib)
printf '%7d  %7d  (end)\n' $((SECONDS - start)) "$final"
growth=$((final - baseline))
echo "RSS after the first minute: $baseline KiB; at the end: $final KiB; growth: $growth KiB"
if [ "$growth" -gt "$allowed_kib" ]; then
    echo "FAILED: memory grew by more than 10 MiB"
    exit 1
fi
echo "ok: memory stayed within 10 MiB"
