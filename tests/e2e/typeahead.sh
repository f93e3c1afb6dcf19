#!/bin/bash
# Nothing typed is lost: a calculation typed the moment the loading window is on the screen
# is carried out once the calculator is up.
# Arguments: TESSEL-BINARY SOURCE-TEX-FOLDER HELPER-FOLDER
# shellcheck source-path=SCRIPTDIR source=lib.sh
source "$(dirname "$0")/lib.sh"
start_display

for run in 1 2 3; do
    dir=$(new_dir "typeahead-$run")
    launch "$dir"
    # The loading window is the one mapped window without a name.
    for i in $(seq 500); do
        "$HELPERS/find_windows" "" >/dev/null 2>&1 && break
        sleep 0.01
    done
    xdotool type --delay 15 '12+3='
    wid=$(wait_window)
    focus "$wid"
    redraw "$WORK/typed-$run.png"
    xdotool key ctrl+c
    sleep 0.3
    copied=$(timeout 5 xclip -o -selection clipboard 2>/dev/null || true)
    check "run $run: '12+3=' typed into the loading window reads 15 (got '$copied')" \
        test "$copied" = "15"
    close_tessel "run $run"
done
finish
