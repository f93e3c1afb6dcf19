#!/bin/bash
# The first picture of the main window: from the moment it is mapped, every screenshot shows it
# maximised with the whole calculator, the very picture it settles on: never a black or empty
# window, never a frame drawn at the design size and cropped. Screenshots are taken one after
# the other, as fast as the X server gives them, from the start of the program on.
# Arguments: TESSEL-BINARY SOURCE-TEX-FOLDER HELPER-FOLDER
# shellcheck source-path=SCRIPTDIR source=lib.sh
source "$(dirname "$0")/lib.sh"
start_display

# shots DIR: screenshots of the screen into DIR, each marked with whether the main window was
# already mapped just before it was taken, until a second and a half after it was (20 s at
# the most).
shots() {
    local dir=$1 n=0 mapped=0 seen=""
    local until=$((SECONDS + 20))
    mkdir -p "$dir"
    while [ "$SECONDS" -lt "$until" ]; do
        if [ "$mapped" = 0 ] && [ -n "$(main_geometry)" ]; then
            mapped=1
            seen=$EPOCHREALTIME
            maximised && echo maximised >"$dir/first-seen" || echo "$(main_geometry)" >"$dir/first-seen"
        fi
        [ -z "$seen" ] || [ "$(elapsed_ms "$seen")" -lt 1500 ] || break
        n=$((n + 1))
        xwd -root -silent >"$dir/$n.$mapped.xwd" 2>/dev/null || rm -f "$dir/$n.$mapped.xwd"
    done
}

for run in 1 2; do
    dir=$(new_dir "run$run")
    # The pointer away from the keys, so that no key is highlighted once it is in the window.
    xdotool mousemove 0 0
    launch "$dir"
    shots "$WORK/shots$run"
    wait_window >/dev/null
    read_main_geometry
    xdotool mousemove 1 1 mousemove 0 0
    settle "$WORK/final$run.png"
    client="${MAIN_W}x${MAIN_H}+${MAIN_X}+${MAIN_Y}"
    crop "$WORK/final$run.png" "$client" "$WORK/final$run-client.png"
    taken=0
    wrong=0
    for shot in "$WORK/shots$run"/*.1.xwd; do
        [ -e "$shot" ] || continue
        taken=$((taken + 1))
        if ! same "$shot[$client]" "$WORK/final$run-client.png"; then
            wrong=$((wrong + 1))
            cp "$shot" "$WORK/wrong$run-$(basename "$shot" .xwd).xwd"
        fi
    done
    check "run $run: the main window was maximised when first seen ($(cat "$WORK/shots$run/first-seen" 2>/dev/null))" \
        test "$(cat "$WORK/shots$run/first-seen" 2>/dev/null)" = maximised
    check "run $run: screenshots were taken after the window was mapped ($taken)" test "$taken" -ge 5
    check "run $run: every one of them shows the settled picture ($wrong differ)" test "$wrong" -eq 0
    close_tessel "run $run"
done
finish
