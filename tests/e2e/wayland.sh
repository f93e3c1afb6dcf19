#!/bin/bash
# The calculator under a Wayland compositor: weston with its X11 back end on a private Xvfb,
# the program with SDL's Wayland driver, driven through weston's input. Its pictures are
# compared with the same steps under X11 on a screen of the size weston gave the window; it
# closes from its title bar with status 0, ends on SIGTERM, and a start or a run that loses the
# compositor says why and ends with a failing status.
# shellcheck source=lib.sh
source "$(dirname "$0")/lib.sh" "$@"

# shellcheck source=weston.sh
source "$(dirname "$0")/weston.sh"

launch_wayland() {
    launch "$1" SDL_VIDEODRIVER=wayland WAYLAND_DISPLAY="$SOCKET" XDG_RUNTIME_DIR="$RUNTIME"
}

# The pointer over weston's panel, out of the calculator's picture and off its title bar.
park_pointer() {
    xdotool mousemove "$((W / 2))" 5
}

# wait_picture FILE: waits until the calculator's window shows a settled picture.
wait_picture() {
    local i
    for i in $(seq 100); do
        shot "$1"
        [ -n "$(content_top "$1")" ] && break
        running || fail "the calculator is still running while its window comes up"
        sleep 0.1
    done
    settle "$1"
}

# start_on_wayland NAME: the calculator in a fresh folder, once its picture has settled.
start_on_wayland() {
    dir=$(new_dir "$1")
    launch_wayland "$dir"
    park_pointer
    wait_picture "$WORK/wl-$1.png"
}

# ended_status TENTHS: waits that many tenths of a second for the program to end; STATUS.
ended_status() {
    local i
    for i in $(seq "$1"); do
        running || break
        sleep 0.1
    done
    take_status
}

start_display
start_weston 1

# The window: maximised to what weston gives it, the whole calculator drawn.
start_on_wayland default
top=$(content_top "$WORK/wl-default.png")
check "the calculator's window is shown (its picture starts at row '$top')" test -n "$top"
[ -n "$top" ] || finish
CW=$W
CH=$((H - top))
check "it fills the width and the rest of the height below the title bar" \
    test "$(pixel "$WORK/wl-default.png" $((W - 3)) $((H - 3)))" = "255 255 255"
crop "$WORK/wl-default.png" "${CW}x${CH}+0+$top" "$WORK/wl-default-window.png"
read -r bw bh bx by < <(convert "$WORK/wl-default-window.png" -trim -format '%w %h %X %Y\n' info: |
    tr -d '+')
check "the whole calculator is in the picture (${bw}x${bh} at $bx,$by of ${CW}x${CH})" \
    test "$bx" -gt 0 -a "$by" -gt 0 -a $((bx + bw)) -lt "$CW" -a $((by + bh)) -lt "$CH" \
    -a "$bw" -gt $((CW / 6))
check "nothing of it on standard error" test ! -s "$dir/stderr.log"

# Typing through the compositor's keyboard.
xdotool mousemove "$((W - 20))" "$((H - 20))" click 1
park_pointer
xdotool type --delay 100 '12+3='
settle "$WORK/wl-typed.png"
crop "$WORK/wl-typed.png" "${CW}x${CH}+0+$top" "$WORK/wl-typed-window.png"
check "typing '12+3=' changes the display" \
    not_same "$WORK/wl-default-window.png" "$WORK/wl-typed-window.png"

# The steering keys and the focus mark, through the compositor's keyboard too; the window's
# picture alone is compared, as the panel's clock goes on.
# window_shot NAME: the settled window's picture in $WORK/wl-NAME-window.png.
window_shot() {
    settle "$WORK/wl-$1.png"
    crop "$WORK/wl-$1.png" "${CW}x${CH}+0+$top" "$WORK/wl-$1-window.png"
}
xdotool key --delay 60 Left Up
window_shot turned
check "the arrow keys turn the calculator" \
    not_same "$WORK/wl-typed-window.png" "$WORK/wl-turned-window.png"
xdotool key Home
window_shot home
check "Home brings back the picture before" \
    same "$WORK/wl-typed-window.png" "$WORK/wl-home-window.png"
xdotool key Tab
window_shot tab
check "Tab shows the focus mark" not_same "$WORK/wl-typed-window.png" "$WORK/wl-tab-window.png"
xdotool mousemove "$((W - 20))" "$((H - 20))" click 1
park_pointer
window_shot clicked
check "a click beside the calculator hides it" \
    same "$WORK/wl-typed-window.png" "$WORK/wl-clicked-window.png"

# A message box, on top of the calculator, that Enter dismisses.
xdotool type --delay 100 '5/0='
settle "$WORK/wl-error.png"
xdotool key plus
sleep 1
settle "$WORK/wl-box.png"
check "'5 / 0 = +' brings up a box" not_same "$WORK/wl-error.png" "$WORK/wl-box.png"
check "and says why on standard error" \
    grep -q "^tessel: 'DIVIDE BY 0' is not a valid floating point value.$" "$dir/stderr.log"
xdotool key Return
settle "$WORK/wl-after-box.png"
crop "$WORK/wl-error.png" "${CW}x${CH}+0+$top" "$WORK/wl-error-window.png"
crop "$WORK/wl-after-box.png" "${CW}x${CH}+0+$top" "$WORK/wl-after-box-window.png"
check "Enter dismisses it and the calculator shows as before" \
    same "$WORK/wl-error-window.png" "$WORK/wl-after-box-window.png"
# A second box comes and goes the same way. The compositor decides where the keyboard goes
# once a box is gone: weston leaves it to the user's click.
xdotool mousemove "$((W - 20))" "$((H - 20))" click 1
park_pointer
xdotool key plus
sleep 1
settle "$WORK/wl-box-again.png"
check "a second box comes up" not_same "$WORK/wl-after-box.png" "$WORK/wl-box-again.png"
xdotool key Return
xdotool mousemove "$((W - 20))" "$((H - 20))" click 1
park_pointer
xdotool key Escape
xdotool type --delay 100 '12+3='
settle "$WORK/wl-typed-again.png"
crop "$WORK/wl-typed-again.png" "${CW}x${CH}+0+$top" "$WORK/wl-typed-again-window.png"
check "the calculator takes the keyboard again after the boxes" \
    same "$WORK/wl-typed-window.png" "$WORK/wl-typed-again-window.png"

# Closed from the close button at the right end of the title bar.
xdotool mousemove "$((W - 20))" "$((top - 12))"
sleep 0.3
xdotool mousemove "$((W - 16))" "$((top - 12))"
sleep 0.3
xdotool click 1
ended_status 50
check "the close button ends the program with status 0 (got $STATUS)" test "$STATUS" = 0

# SIGTERM ends it at once and well.
start_on_wayland sigterm
kill -TERM "$TESSEL_PID"
ended_status 30
check "SIGTERM ends it with status 0 (got $STATUS)" test "$STATUS" = 0

# A compositor that goes away: the program says so and fails.
start_on_wayland lost
stop_weston
ended_status 50
check "losing the compositor ends the program with status 1 (got $STATUS)" test "$STATUS" = 1
check "and it says why on standard error" \
    grep -q "^tessel: the connection to the Wayland compositor was lost" "$dir/stderr.log"

# The same pictures under X11, on a screen the size of the window weston gave.
kill "$XVFB_PID" 2>/dev/null || true
wait "$XVFB_PID" 2>/dev/null || true
start_xvfb "${CW}x${CH}x24" 100 "$WORK/xvfb-x11.log" || exit 1
W=$CW
H=$CH
dir=$(new_dir x11)
launch "$dir"
wid=$(wait_window)
focus "$wid"
xdotool mousemove "$((W - 1))" 0
settle "$WORK/x11-default.png"
check "the default view is the same picture as under X11" \
    same "$WORK/wl-default-window.png" "$WORK/x11-default.png"
xdotool type --delay 100 '12+3='
settle "$WORK/x11-typed.png"
check "so is the display after '12+3='" same "$WORK/wl-typed-window.png" "$WORK/x11-typed.png"
close_tessel x11
finish
