# Shared by the Wayland tests: weston with its X11 back end on the test's Xvfb, in a runtime
# folder of its own, ended when the test ends. Sourced after lib.sh.
# shellcheck shell=bash

SOCKET=tessel-e2e-$TEST_NAME
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

# start_weston SCALE [WESTON-OPTION...]: weston filling the W x H screen at that output scale,
# its log in $WORK/weston-SCALE.log; once it is up, its pointer is where the X pointer is.
start_weston() {
    local scale=$1 i
    shift
    stop_weston
    rm -f "$RUNTIME/$SOCKET" "$RUNTIME/$SOCKET.lock"
    XDG_RUNTIME_DIR=$RUNTIME weston --backend=x11-backend.so --width=$((W / scale)) \
        --height=$((H / scale)) --scale="$scale" --socket="$SOCKET" --idle-time=0 --no-config \
        "$@" >"$WORK/weston-$scale.log" 2>&1 &
    WESTON_PID=$!
    for i in $(seq 100); do
        [ -S "$RUNTIME/$SOCKET" ] && sleep 0.5 && sync_pointer && return 0
        sleep 0.1
    done
    fail "weston starts on the X server at scale $scale"
}

# Weston's X11 back end moves its own pointer by how far the X pointer moved, counted from where
# the X pointer first entered its window, and keeps it on the output: left alone, it stays off
# the X pointer by wherever the first move went, and a click meant for the close button lands
# in the middle of the title bar. Swept from one corner to the other, both end at the same place.
sync_pointer() {
    xdotool mousemove 0 0
    sleep 0.2
    xdotool mousemove "$((W - 1))" "$((H - 1))"
    sleep 0.2
}

# content_top FILE [INSET]: the first row of the window's own picture, below weston's panel and
# the window's title bar: the first of a hundred rows that are background (white) both INSET
# pixels in from the left edge (past a window manager's frame) and a quarter of the way in. The
# panel's launcher icon and a light title bar hold white pixels too.
content_top() {
    paste <(convert "$1" -crop "1x${H}+${2:-4}+0" +repage -depth 8 txt:- | tail -n +2) \
        <(convert "$1" -crop "1x${H}+$((W / 4))+0" +repage -depth 8 txt:- | tail -n +2) |
        awk -F'[,:]' '/#FFFFFF.*#FFFFFF/ { if (!run++) start = $2; if (run == 100 && !found++) print start }
                      !/#FFFFFF.*#FFFFFF/ { run = 0 }'
}

# edge_share FILE GEOMETRY: of the edges in that part of the picture, the share (thousandths)
# that are whole steps rather than ramps: text and keys drawn at the screen's density keep
# their edges a pixel wide; drawn at half of it and enlarged by the compositor, they spread
# them over two.
edge_share() {
    local all strong
    all=$(convert "$1" -crop "$2" +repage -colorspace gray -edge 1 -threshold 5% \
        -format '%[fx:mean]' info:)
    strong=$(convert "$1" -crop "$2" +repage -colorspace gray -edge 1 -threshold 50% \
        -format '%[fx:mean]' info:)
    awk -v a="$all" -v s="$strong" 'BEGIN { print (a > 0) ? int(1000 * s / a) : 0 }'
}
