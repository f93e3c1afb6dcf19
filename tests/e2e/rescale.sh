#!/bin/bash
# A change of scale while the program runs: weston with two outputs side by side, the left at
# scale 1, the right at scale 2 (its X11 back end nested in Xvfb). The calculator comes up
# maximised on the left one; taken out of the maximised state and moved to the right one by
# its title bar, it is drawn there whole, centred and at that output's density, as sharp as
# on the left one, rather than enlarged.
# shellcheck source=lib.sh
source "$(dirname "$0")/lib.sh" "$@"

W=2880
H=1200
LEFT_W=960 # the left output, at scale 1; the right one takes the rest, at scale 2
# shellcheck source=weston.sh
source "$(dirname "$0")/weston.sh"

# two_outputs: weston with the two outputs, the right one's window moved beside the left one's.
two_outputs() {
    local id
    printf '[core]\nidle-time=0\n[shell]\npanel-position=none\n[output]\nname=screen0\nmode=%dx%d\nscale=1\n[output]\nname=screen1\nmode=%dx%d\nscale=2\n' \
        "$LEFT_W" "$H" "$(((W - LEFT_W) / 2))" "$((H / 2))" >"$WORK/weston.ini"
    XDG_RUNTIME_DIR=$RUNTIME weston --backend=x11-backend.so --output-count=2 \
        --socket="$SOCKET" --config="$WORK/weston.ini" >"$WORK/weston.log" 2>&1 &
    WESTON_PID=$!
    for _ in $(seq 100); do
        [ -S "$RUNTIME/$SOCKET" ] && break
        sleep 0.1
    done
    [ -S "$RUNTIME/$SOCKET" ] || fail "weston starts with two outputs"
    sleep 0.5
    id=$(xwininfo -root -children | awk '/"Weston Compositor - screen1"/ { print $1 }')
    [ -n "$id" ] || fail "weston's right output has a window"
    xdotool windowmove "$id" "$LEFT_W" 0
    sleep 0.3
    sync_pointer
}

# inside FILE X Y WIDTH HEIGHT: "WIDTH HEIGHT X Y" of the window's white inside within that
# part of the screen, and of the calculator within it, on two lines.
inside() {
    local file=$1 x=$2 y=$3 w=$4 h=$5 cw ch cx cy
    # A border of the colour trimmed away, which it then starts from: one pixel more each way.
    convert "$file" -crop "${w}x${h}+${x}+${y}" +repage -fill black +opaque white \
        -morphology Open Square:5 -bordercolor black -border 1 -trim \
        -format '%w %h %X %Y\n' info: | tr -d '+' |
        {
            read -r cw ch cx cy
            cx=$((x + cx - 1)) cy=$((y + cy - 1))
            echo "$cw $ch $cx $cy"
            convert "$file" -crop "${cw}x${ch}+${cx}+${cy}" +repage -bordercolor white -border 1 \
                -trim -format '%w %h %X %Y\n' info: | tr -d '+' |
                awk -v x="$cx" -v y="$cy" '{ print $1, $2, x + $3 - 1, y + $4 - 1 }'
        }
}

# keys W H X Y: the geometry of the middle of a calculator of that box: its keys.
keys() {
    echo "$(($1 / 2))x$(($2 / 4))+$(($3 + $1 / 4))+$(($4 + $2 / 2))"
}

# drag X Y DX: a drag by the title bar at X,Y, DX pixels to the right.
drag() {
    local step
    xdotool mousemove "$1" "$2"
    sleep 0.3
    xdotool mousemove "$(($1 + 10))" "$2" mousedown 1
    sleep 0.3
    for step in 1 2 3 4 5 6; do
        xdotool mousemove "$(($1 + 10 + step * $3 / 6))" "$(($2 + 10))"
        sleep 0.15
    done
    xdotool mouseup 1
    sleep 0.5
}

start_display
two_outputs
dir=$(new_dir rescale)
launch "$dir" WAYLAND_DISPLAY="$SOCKET" XDG_RUNTIME_DIR="$RUNTIME"
# The pointer on the title bar, out of the window's picture.
xdotool mousemove 5 5
for _ in $(seq 100); do
    shot "$WORK/left.png"
    [ "$(convert "$WORK/left.png" -crop "1x1+$((LEFT_W / 2))+$((H - 40))" -depth 8 \
        -format '%[hex:p{0,0}]' info:)" = FFFFFF ] && break
    sleep 0.1
done
settle "$WORK/left.png"
{
    read -r ww wh wx wy
    read -r cw ch cx cy
} < <(inside "$WORK/left.png" 0 0 "$LEFT_W" "$H")
check "left: the calculator comes up in the output at scale 1 (${cw}x${ch} in ${ww}x${wh})" \
    test "${cw:-0}" -gt 100 -a "${cw:-0}" -lt "${ww:-0}"
share1=$(edge_share "$WORK/left.png" "$(keys "$cw" "$ch" "$cx" "$cy")")

# Out of the maximised state by a double click on its title bar, then moved by it into the
# right output, in a few drags at the most.
xdotool mousemove 300 10 click --repeat 2 --delay 80 1
sleep 1
for drag in 1 2 3 4; do
    shot "$WORK/moving-$drag.png"
    read -r ww wh wx wy < <(inside "$WORK/moving-$drag.png" 0 0 "$W" "$H" | head -n1)
    [ "${wx:-0}" -ge "$LEFT_W" ] && break
    # A drag keeps the pointer in the output it began in: once the title bar reaches into the
    # right output, it is taken there.
    if [ $((wx + ww)) -gt $((LEFT_W + 200)) ]; then
        drag "$((LEFT_W + 100))" "$((wy - 10))" 600
    else
        drag "$((wx + 100))" "$((wy - 10))" 600
    fi
done
xdotool mousemove "$((W - 5))" "$((H - 5))"
settle "$WORK/right.png"
{
    read -r ww wh wx wy
    read -r cw ch cx cy
} < <(inside "$WORK/right.png" 0 0 "$W" "$H")
check "right: the window is on the output at scale 2 (its inside ${ww}x${wh} at $wx,$wy)" \
    test "${wx:-0}" -ge "$LEFT_W"
check "right: the calculator is whole (${cw}x${ch} at $cx,$cy)" \
    test "${cw:-0}" -gt 100 -a "$cx" -gt "$wx" -a "$cy" -gt "$wy" \
    -a $((cx + cw)) -lt $((wx + ww)) -a $((cy + ch)) -lt $((wy + wh))
off=$((cx + cw / 2 - wx - ww / 2))
check "right: and centred ($off px off the middle)" test "${off#-}" -le 4
share2=$(edge_share "$WORK/right.png" "$(keys "$cw" "$ch" "$cx" "$cy")")
check "right: the keys are drawn at its density, as sharp as on the left ($share2 against $share1)" \
    test $((share2 * 10)) -ge $((share1 * 8))
check "nothing on standard error" test ! -s "$dir/stderr.log"
stop_tessel
finish
