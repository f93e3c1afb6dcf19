#!/bin/bash
# Message boxes: each one takes the keyboard when it comes up and goes with Return or a click
# on OK, also after the user clicked the main window; the main window takes no input behind a
# box but is drawn again when it is uncovered; every message is on standard error too; and
# SIGTERM ends the program at once even with boxes pending.
# Run without a window manager and under one (E2E_WM), and on an X server without core fonts
# (E2E_XVFB_ARGS="-fp built-ins").
# Arguments: TESSEL-BINARY SOURCE-TEX-FOLDER HELPER-FOLDER
# shellcheck source-path=SCRIPTDIR source=lib.sh
source "$(dirname "$0")/lib.sh"
# The pictures the start-up reads: the welcome picture drawn at twice the size is read only
# in its place on a finer screen, and reported as the welcome picture.
PICTURES=$(find "$TEX" -type f -name '*.jpg' ! -name '*@2x.jpg' | wc -l)
readonly PICTURES
start_display

# No tex folder: every picture is reported, one box after the other, each taking the keyboard.
dir=$(mktemp -d "$WORK/no-tex.XXXXXX")
launch "$dir"
read -r boxes focused < <(dismiss_boxes 90)
check "no-tex: $PICTURES message boxes (got $boxes)" test "$boxes" -eq "$PICTURES"
[ "$boxes" -eq "$PICTURES" ] || describe_screen
check "no-tex: every box took the keyboard itself ($focused of $boxes)" \
    test "$focused" -eq "$boxes"
check "no-tex: the calculator's window comes up after them" maximised
lines=$(grep -c "^tessel: Can't open " "$dir/stderr.log" || true)
check "no-tex: every message is on standard error, a line each ($lines lines)" \
    test "$lines" -eq "$PICTURES"
check "no-tex: the first line names the welcome picture" \
    test "$(head -n1 "$dir/stderr.log")" = "tessel: Can't open the welcome picture 'tex//Welcome.jpg'."
close_tessel no-tex

# SIGTERM while a box waits for the user: the program ends at once, with status 0.
dir=$(mktemp -d "$WORK/sigterm.XXXXXX")
launch "$dir"
box=$(wait_box 20) || fail "sigterm: a message box comes up"
sleep 0.5
kill -TERM "$TESSEL_PID"
sent=$EPOCHREALTIME
while running && [ "$(elapsed_ms "$sent")" -lt 3000 ]; do sleep 0.02; done
took=$(elapsed_ms "$sent")
check "sigterm: the program ends within a second of SIGTERM (took $took ms)" test "$took" -lt 1000
take_status
check "sigterm: exit status 0 (got $STATUS)" test "$STATUS" = 0

# A box over the running calculator: dividing by zero and pressing + reports the error.
dir=$(new_dir over-main)
launch "$dir"
wid=$(wait_window)
read_main_geometry
focus "$wid"
xdotool mousemove "$((MAIN_X + 5))" "$((MAIN_Y + 5))"
xdotool type --delay 100 '5/0='
settle "$WORK/error.png"
error_box() {
    xdotool key plus
    box=$(wait_box 10) || fail "$1: the conversion error comes up in a box"
}
main_crop() {
    crop "$1" "${MAIN_W}x${MAIN_H}+${MAIN_X}+${MAIN_Y}" "$2"
}

# Uncovered while the box is up, the main window is drawn again.
error_box redraw
check "redraw: the box took the keyboard" box_takes_focus "$box"
read -r bx by bw bh < <(box_geometry "$box")
cover_w=$((MAIN_W / 3))
cover_h=$((MAIN_H / 3))
"$HELPERS/cover_window" "$((MAIN_X + 10))" "$((MAIN_Y + 10))" "$cover_w" "$cover_h" 400
settle "$WORK/uncovered.png"
crop "$WORK/error.png" "${cover_w}x${cover_h}+$((MAIN_X + 10))+$((MAIN_Y + 10))" "$WORK/before-cover.png"
crop "$WORK/uncovered.png" "${cover_w}x${cover_h}+$((MAIN_X + 10))+$((MAIN_Y + 10))" "$WORK/after-cover.png"
check "redraw: the uncovered part of the main window is drawn again ($(
    differing_pixels "$WORK/before-cover.png" "$WORK/after-cover.png") pixels differ)" \
    same "$WORK/before-cover.png" "$WORK/after-cover.png"

# A click on the main window, even on a key, presses nothing, and the box keeps the keyboard.
read -r kx ky < <(key_centre 3 0) # the key 7
xdotool mousemove "$kx" "$ky" click 1
sleep 0.5
check "click behind: the box still has the keyboard" box_takes_focus "$box"
xdotool key Return
check "click behind: Return then closes the box" box_gone "$box"
xdotool mousemove "$((MAIN_X + 5))" "$((MAIN_Y + 5))"
settle "$WORK/after-click.png"
main_crop "$WORK/error.png" "$WORK/main-error.png"
main_crop "$WORK/after-click.png" "$WORK/main-after-click.png"
check "click behind: the calculator took no input behind the box" \
    same "$WORK/main-error.png" "$WORK/main-after-click.png"

error_box "click ok"
xdotool mousemove "$kx" "$ky" click 1
sleep 0.3
click_ok "$box"
check "click ok: a click on OK closes the box after a click on the main window" box_gone "$box"

error_box escape
xdotool key Escape
check "escape: Escape closes the box" box_gone "$box"
error_box space
xdotool key space
check "space: Space closes the box" box_gone "$box"
error_box enter
xdotool key KP_Enter
check "keypad enter: keypad Enter closes the box" box_gone "$box"

# Once the boxes are gone the keyboard is the calculator's again.
check "afterwards: the main window has the keyboard" test "$(focused)" = "$wid"
xdotool type --delay 100 '7'
xdotool mousemove "$((MAIN_X + 6))" "$((MAIN_Y + 6))"
settle "$WORK/seven.png"
main_crop "$WORK/seven.png" "$WORK/main-seven.png"
check "afterwards: typing reaches the calculator" not_same "$WORK/main-error.png" "$WORK/main-seven.png"
lines=$(grep -c "^tessel: 'DIVIDE BY 0' is not a valid floating point value.$" "$dir/stderr.log" || true)
check "over-main: each of the 5 messages is on standard error ($lines)" test "$lines" -eq 5
close_tessel over-main
finish
