#!/bin/bash
# Input: typing and clicking the same calculation shows the same result, a right-button
# drag turns the calculator, Page Up raises the display frame, F1 raises it at once, the
# wheel zooms, and Ctrl+C / Ctrl+V exchange numbers with the desktop's clipboard.
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

# F1 shows the card at once, and hides it again.
xdotool key F1
redraw "$WORK/f1.png"
check "F1 raises the frame fully, as Page Up held long enough does" \
    same "$WORK/raised-187.png" "$WORK/f1.png"
xdotool key F1
redraw "$WORK/f1-again.png"
check "F1 again lowers it" same "$WORK/before-turn.png" "$WORK/f1-again.png"

# The wheel: a notch away from the user brings the calculator nearer, so the background just
# beside the case is covered.
read -r x y < <(project 0 0.03 -0.31)
check "beside the case is background before zooming" \
    test "$(pixel "$WORK/f1-again.png" "$x" "$y")" = "255 255 255"
xdotool mousemove 5 5 click 4
redraw "$WORK/wheel-in.png"
check "a wheel notch away from the user zooms in" \
    test "$(pixel "$WORK/wheel-in.png" "$x" "$y")" != "255 255 255"
xdotool click 5
redraw "$WORK/wheel-out.png"
check "a notch toward the user zooms out again" \
    test "$(pixel "$WORK/wheel-out.png" "$x" "$y")" = "255 255 255"

# The clipboard: Ctrl+C puts the display's number there, Ctrl+V takes one from it.
xdotool key Escape
xdotool type --delay 100 '12,5'
xdotool key ctrl+c
sleep 0.3
copied=$(timeout 5 xclip -o -selection clipboard 2>/dev/null || true)
check "Ctrl+C copies the number on the display (got '$copied')" test "$copied" = "12,5"
xdotool key Escape
xdotool type --delay 100 '3,25'
xdotool key F9
redraw "$WORK/typed-negative.png"
crop "$WORK/typed-negative.png" "$display" "$WORK/display-typed-negative.png"
xdotool key Escape
printf ' -3.25 \n' | xclip -i -selection clipboard
xdotool key ctrl+v
redraw "$WORK/pasted.png"
crop "$WORK/pasted.png" "$display" "$WORK/display-pasted.png"
check "Ctrl+V enters the number on the clipboard as if typed" \
    same "$WORK/display-typed-negative.png" "$WORK/display-pasted.png"
printf 'not a number' | xclip -i -selection clipboard
xdotool key ctrl+v
redraw "$WORK/pasted-text.png"
crop "$WORK/pasted-text.png" "$display" "$WORK/display-pasted-text.png"
check "Ctrl+V with other text changes nothing" \
    same "$WORK/display-pasted.png" "$WORK/display-pasted-text.png"
{ printf '12'; printf '\0'; printf '34'; } | xclip -i -selection clipboard
xdotool key ctrl+v
redraw "$WORK/pasted-nul.png"
crop "$WORK/pasted-nul.png" "$display" "$WORK/display-pasted-nul.png"
check "Ctrl+V with a NUL inside the text changes nothing" \
    same "$WORK/display-pasted.png" "$WORK/display-pasted-nul.png"
# Its own copy comes back, even though the program itself holds the clipboard then.
xdotool key Escape
xdotool type --delay 100 '7,5'
redraw "$WORK/typed-own.png"
crop "$WORK/typed-own.png" "$display" "$WORK/display-typed-own.png"
xdotool key ctrl+c Escape ctrl+v
redraw "$WORK/pasted-own.png"
crop "$WORK/pasted-own.png" "$display" "$WORK/display-pasted-own.png"
check "Ctrl+V takes back what Ctrl+C copied" \
    same "$WORK/display-typed-own.png" "$WORK/display-pasted-own.png"

close_tessel input
finish
