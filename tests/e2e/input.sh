#!/bin/bash
# Input: typing and clicking the same calculation shows the same result, a right-button
# drag turns the calculator, Page Up raises the display frame.
# Arguments: TESSEL-BINARY SOURCE-TEX-FOLDER HELPER-FOLDER
# shellcheck source-path=SCRIPTDIR source=lib.sh
source "$(dirname "$0")/lib.sh"
start_display
display=$(display_region)

dir=$(new_dir input)
launch "$dir"
wid=$(wait_window)
focus "$wid"
xdotool mousemove 5 5
settle "$WORK/start.png"
crop "$WORK/start.png" "$display" "$WORK/display-start.png"

# A pressed key goes down and comes all the way back up: C on a fresh calculator changes
# nothing, so once the key's animation is over the picture is the one before.
xdotool key Escape
settle "$WORK/after-c.png"
check "after a key press the picture returns to the one before (C on 0; $(
    differing_pixels "$WORK/start.png" "$WORK/after-c.png") pixels differ)" \
    same "$WORK/start.png" "$WORK/after-c.png"

# The keyboard.
xdotool type --delay 120 '12+3='
settle "$WORK/typed.png"
crop "$WORK/typed.png" "$display" "$WORK/display-typed.png"
check "typing 12+3= changes the display" \
    not_same "$WORK/display-start.png" "$WORK/display-typed.png"

xdotool key Escape
settle "$WORK/cleared.png"
crop "$WORK/cleared.png" "$display" "$WORK/display-cleared.png"
check "C (Escape) brings back the display of the start" \
    same "$WORK/display-start.png" "$WORK/display-cleared.png"

xdotool type --delay 120 '15'
settle "$WORK/fifteen.png"
crop "$WORK/fifteen.png" "$display" "$WORK/display-fifteen.png"
check "after C, typing 15 shows what 12+3= showed" \
    same "$WORK/display-typed.png" "$WORK/display-fifteen.png"

# The same calculation with the mouse on the keys 1, 2, +, 3, = (row, column).
xdotool key Escape
settle "$WORK/cleared-again.png"
for key in "1 0" "1 1" "0 3" "1 2" "0 4"; do
    # shellcheck disable=SC2086 # row and column are two words on purpose
    read -r x y < <(key_centre $key)
    click_at "$x" "$y"
done
# Away from the keys, so that no key is shown under the mouse.
xdotool mousemove 5 5
settle "$WORK/clicked.png"
crop "$WORK/clicked.png" "$display" "$WORK/display-clicked.png"
check "clicking 1 2 + 3 = shows what typing 12+3= showed" \
    same "$WORK/display-typed.png" "$WORK/display-clicked.png"

# Turning: a right-button drag of 200 px to the right, and back. The reference picture is
# drawn after a mouse move, so that it shows every key at rest.
xdotool key Escape
redraw "$WORK/before-turn.png"
read -r x y < <(project 0 0.0395 0)
xdotool mousemove "$x" "$y" mousedown 3
for step in $(seq 20 20 200); do
    xdotool mousemove "$((x + step))" "$y"
    sleep 0.05
done
xdotool mouseup 3
settle "$WORK/turned.png"
changed=$(differing_pixels "$WORK/before-turn.png" "$WORK/turned.png")
check "a right-button drag turns the calculator ($changed pixels changed)" \
    test "$changed" -gt $((W * H / 50))
crop "$WORK/turned.png" "$display" "$WORK/display-turned.png"
check "the turned calculator's display is no longer where it was" \
    not_same "$WORK/display-cleared.png" "$WORK/display-turned.png"
xdotool mousedown 3
for step in $(seq 180 -20 0); do
    xdotool mousemove "$((x + step))" "$y"
    sleep 0.05
done
xdotool mouseup 3
redraw "$WORK/turned-back.png"
check "dragging back turns it back to the picture before" \
    same "$WORK/before-turn.png" "$WORK/turned-back.png"

# The display frame: hinged at its edge toward the keys, its far edge lifts toward the
# viewer, so that, fully raised, it is seen edge-on and shows the card beneath it.
xdotool key --delay 15 --repeat 78 Prior
settle "$WORK/half-raised.png"
xdotool key --delay 15 --repeat 79 Prior
settle "$WORK/raised.png"
crop "$WORK/raised.png" "$display" "$WORK/display-raised.png"
check "Page Up x157 changes the display area" \
    not_same "$WORK/display-cleared.png" "$WORK/display-raised.png"
check "half-way raised differs from lowered" \
    not_same "$WORK/half-raised.png" "$WORK/before-turn.png"
check "half-way raised differs from fully raised" \
    not_same "$WORK/half-raised.png" "$WORK/raised.png"
xdotool key --delay 15 --repeat 20 Prior
settle "$WORK/raised-177.png"
xdotool key --delay 15 --repeat 10 Prior
settle "$WORK/raised-187.png"
check "Page Up stops at fully raised" same "$WORK/raised-177.png" "$WORK/raised-187.png"
keys=$(region -0.40 -0.01 -0.24 0.24 0.0395 0)
crop "$WORK/before-turn.png" "$keys" "$WORK/keys-before.png"
crop "$WORK/raised.png" "$keys" "$WORK/keys-raised.png"
check "raising the frame leaves the digit keys as they were" \
    same "$WORK/keys-before.png" "$WORK/keys-raised.png"
xdotool key --delay 15 --repeat 197 Next
redraw "$WORK/lowered.png"
check "Page Down lowers the frame back to the picture before" \
    same "$WORK/before-turn.png" "$WORK/lowered.png"

close_tessel input
finish
