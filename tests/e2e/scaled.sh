#!/bin/bash
# A high-density Wayland desktop: weston at output scale 2 with XWayland, nested in Xvfb. A
# plain start in such a session makes a Wayland client, whole and centred in the output and as
# sharp as at scale 1, rather than an enlarged XWayland window; SDL_VIDEODRIVER=x11 still
# makes an X11 window, whole.
# shellcheck source=lib.sh
source "$(dirname "$0")/lib.sh" "$@"

W=1920
H=1080
INSET=24
SOCKET=tessel-e2e-scaled
RUNTIME=$WORK/runtime
WESTON_PID=""
mkdir -m 700 "$RUNTIME"

stop_weston() {
    [ -n "$WESTON_PID" ] || return 0
    kill "$WESTON_PID" 2>/dev/null || true
    wait "$WESTON_PID" 2>/dev/null || true
    WESTON_PID=""
}
trap 'status=$?; stop_weston; (exit $status); e2e_cleanup' EXIT

# start_weston SCALE: weston filling the screen at that output scale; sets XWAYLAND.
start_weston() {
    stop_weston
    rm -rf "${RUNTIME:?}"/*
    XDG_RUNTIME_DIR=$RUNTIME weston --backend=x11-backend.so --width=$((W / $1)) \
        --height=$((H / $1)) --scale="$1" --socket="$SOCKET" --idle-time=0 --no-config \
        --xwayland >"$WORK/weston-$1.log" 2>&1 &
    WESTON_PID=$!
    local i
    for i in $(seq 100); do
        [ -S "$RUNTIME/$SOCKET" ] && break
        sleep 0.1
    done
    [ -S "$RUNTIME/$SOCKET" ] || fail "weston starts at scale $1"
    sleep 0.5
    XWAYLAND=$(grep -o 'listening on display :[0-9]*' "$WORK/weston-$1.log" | grep -o ':[0-9]*')
    # Weston's pointer follows the X pointer's moves from where it entered: pinned to a corner.
    xdotool mousemove 0 0
    sleep 0.2
    xdotool mousemove "$((W - 1))" "$((H - 1))"
    sleep 0.2
}

# session_start NAME [VAR=VALUE...]: the calculator started as in a Wayland session, with both
# WAYLAND_DISPLAY and XWayland's DISPLAY set; its picture settled in $WORK/NAME.png.
session_start() {
    local name=$1
    shift
    dir=$(new_dir "$name")
    launch "$dir" WAYLAND_DISPLAY="$SOCKET" XDG_RUNTIME_DIR="$RUNTIME" DISPLAY="$XWAYLAND" "$@"
    xdotool mousemove "$((W / 2))" 2
    local i
    for i in $(seq 100); do
        shot "$WORK/$name.png"
        [ -n "$(content_top "$WORK/$name.png")" ] && break
        sleep 0.1
    done
    settle "$WORK/$name.png"
}

# content_top FILE: the first row below the panel and the title bar from which on a hundred
# rows are background both at the left edge (inside a frame) and a quarter of the way in: a
# light title bar is not taken for the window's picture.
content_top() {
    paste <(convert "$1" -crop "1x${H}+$((INSET + 2))+0" +repage -depth 8 txt:- | tail -n +2) \
        <(convert "$1" -crop "1x${H}+$((W / 4))+0" +repage -depth 8 txt:- | tail -n +2) |
        awk -F'[,:]' '/#FFFFFF.*#FFFFFF/ { if (!run++) start = $2; if (run == 100 && !found++) print start }
                      !/#FFFFFF.*#FFFFFF/ { run = 0 }'
}

# calculator FILE: "WIDTH HEIGHT X Y" of the calculator in the window's picture below TOP,
# within a margin of INSET pixels that leaves out a window manager's frame.
calculator() {
    convert "$1" -crop "$((W - 2 * INSET))x$((H - TOP - INSET))+$INSET+$TOP" +repage -trim \
        -format '%w %h %X %Y\n' info: | tr -d '+'
}

# sharpness FILE: how much fine detail the middle of the calculator (its keys) holds: the mean
# of an edge filter, in thousandths.
sharpness() {
    read -r cw ch cx cy < <(calculator "$1")
    convert "$1" -crop "$((cw / 2))x$((ch / 4))+$((INSET + cx + cw / 4))+$((TOP + cy + ch / 2))" \
        +repage \
        -colorspace gray -edge 1 -format '%[fx:int(1000 * mean)]' info:
}

# whole FILE LABEL: checks that the calculator is inside the window's picture, centred.
whole() {
    read -r cw ch cx cy < <(calculator "$1")
    local ww=$((W - 2 * INSET)) wh=$((H - TOP - INSET))
    check "$2: the calculator is whole (${cw}x${ch} at $cx,$cy of ${ww}x${wh})" \
        test "$cx" -gt 0 -a "$cy" -gt 0 -a $((cx + cw)) -lt "$ww" -a $((cy + ch)) -lt "$wh" \
        -a "$cw" -gt $((ww / 8))
    local off=$((cx + cw / 2 - ww / 2))
    check "$2: and centred ($off px off the middle)" test "${off#-}" -le 4
}

start_display
start_weston 1
session_start scale1
TOP=$(content_top "$WORK/scale1.png")
whole "$WORK/scale1.png" "scale 1"
sharp1=$(sharpness "$WORK/scale1.png")
stop_tessel

start_weston 2
session_start scale2
check "scale 2: a plain start in a Wayland session makes no XWayland window" \
    test -z "$(DISPLAY=$XWAYLAND xdotool search --name "^$CAPTION\$" 2>/dev/null)"
TOP=$(content_top "$WORK/scale2.png")
check "scale 2: the window's picture is found (below row '$TOP')" test -n "$TOP"
whole "$WORK/scale2.png" "scale 2"
sharp2=$(sharpness "$WORK/scale2.png")
check "scale 2: the keys are as sharp as at scale 1 ($sharp2 against $sharp1)" \
    test $((sharp2 * 10)) -ge $((sharp1 * 9))
check "scale 2: nothing on standard error" test ! -s "$dir/stderr.log"
stop_tessel

session_start x11 SDL_VIDEODRIVER=x11
check "SDL_VIDEODRIVER=x11 makes an X11 window" \
    test -n "$(DISPLAY=$XWAYLAND xdotool search --name "^$CAPTION\$" 2>/dev/null)"
TOP=$(content_top "$WORK/x11.png")
whole "$WORK/x11.png" "x11 at scale 2"
stop_tessel
finish
