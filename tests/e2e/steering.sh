#!/bin/bash
# Everything without a right button: the arrow keys turn the calculator and Home brings back
# the first picture, Ctrl+plus and Ctrl+minus zoom, a left drag off the keys turns it and one
# from a key presses that key alone, Tab moves a visible focus mark and Space presses the key
# that has it.
# Arguments: TESSEL-BINARY SOURCE-TEX-FOLDER HELPER-FOLDER
# shellcheck source-path=SCRIPTDIR source=lib.sh
source "$(dirname "$0")/lib.sh"
start_display

# covered FILE: the share of the screen that is not background, in thousandths.
covered() {
    convert "$1" -fill black +opaque white -format '%[fx:int(1000 * (1 - mean))]' info:
}
# copied: the number Ctrl+C puts on the clipboard.
copied() {
    xdotool key ctrl+c
    sleep 0.3
    timeout 5 xclip -o -selection clipboard 2>/dev/null || true
}

dir=$(new_dir steering)
launch "$dir"
wid=$(wait_window)
focus "$wid"
read_main_geometry
redraw "$WORK/start.png"

xdotool key --delay 40 Left Left Up Up Up
settle "$WORK/arrows.png"
check "the arrow keys turn the calculator ($(differing_pixels "$WORK/start.png" \
    "$WORK/arrows.png") pixels changed)" not_same "$WORK/start.png" "$WORK/arrows.png"
xdotool key Home
redraw "$WORK/home.png"
check "Home brings back the first picture" same "$WORK/start.png" "$WORK/home.png"

xdotool key --delay 60 ctrl+plus ctrl+plus
redraw "$WORK/nearer.png"
check "Ctrl+plus makes the calculator bigger ($(covered "$WORK/start.png") to $(
    covered "$WORK/nearer.png") thousandths)" \
    test "$(covered "$WORK/nearer.png")" -gt "$(covered "$WORK/start.png")"
xdotool key --delay 60 ctrl+minus ctrl+minus ctrl+minus
redraw "$WORK/farther.png"
check "Ctrl+minus makes it smaller again" \
    test "$(covered "$WORK/farther.png")" -lt "$(covered "$WORK/nearer.png")"
xdotool key ctrl+0
redraw "$WORK/reset.png"
check "Ctrl+0 brings back the starting distance" same "$WORK/start.png" "$WORK/reset.png"

# A left drag from the background turns the calculator and presses nothing; it starts in
# the window's corner, below a window manager's title bar.
x=$((MAIN_X + 5)) y=$((MAIN_Y + 5))
xdotool mousemove "$x" "$y" mousedown 1
for step in $(seq 20 20 160); do
    xdotool mousemove "$((x + step))" "$y"
    sleep 0.05
done
xdotool mouseup 1
redraw "$WORK/left-drag.png"
check "a left drag from the background turns the calculator" \
    not_same "$WORK/start.png" "$WORK/left-drag.png"
value=$(copied)
check "and presses no key (Ctrl+C copies '$value')" test "$value" = "0"

# A left drag from key 5 presses 5 and turns nothing.
xdotool key Home
redraw "$WORK/home-again.png"
read -r x y < <(key_centre 2 1)
xdotool mousemove "$x" "$y"
sleep 0.4
xdotool mousedown 1
for step in $(seq 20 20 160); do
    xdotool mousemove "$((x + step))" "$y"
    sleep 0.05
done
xdotool mouseup 1
value=$(copied)
check "a left drag from key 5 presses 5 (Ctrl+C copies '$value')" test "$value" = "5"
xdotool key Escape
redraw "$WORK/key-drag.png"
check "and turns nothing" same "$WORK/start.png" "$WORK/key-drag.png"

# The focus: the first Tab shows its mark; the third reaches 7, which Space presses.
xdotool key Tab
redraw "$WORK/tab.png"
check "the first Tab shows the focus mark" not_same "$WORK/start.png" "$WORK/tab.png"
xdotool key --delay 60 Tab Tab space
value=$(copied)
check "Tab Tab Tab Space enters 7 (Ctrl+C copies '$value')" test "$value" = "7"

close_tessel steering
finish
