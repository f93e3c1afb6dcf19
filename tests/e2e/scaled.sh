#!/bin/bash
# A high-density Wayland desktop: weston at output scale 2 with XWayland, nested in Xvfb. A
# plain start in such a session makes a Wayland client, whole and centred in the output and as
# sharp as at scale 1, rather than an enlarged XWayland window, and so are its loading window
# and its message boxes; SDL_VIDEODRIVER=x11 still makes an X11 window, whole.
# shellcheck source=lib.sh
source "$(dirname "$0")/lib.sh" "$@"

W=1920
H=1080
INSET=24
# shellcheck source=weston.sh
source "$(dirname "$0")/weston.sh"

# xwayland SCALE: weston at that scale with XWayland; sets XWAYLAND, its X display.
xwayland() {
    start_weston "$1" --xwayland
    XWAYLAND=$(grep -o 'listening on display :[0-9]*' "$WORK/weston-$1.log" | grep -o ':[0-9]*')
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
        [ -n "$(content_top "$WORK/$name.png" "$INSET")" ] && break
        sleep 0.1
    done
    settle "$WORK/$name.png"
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

# area FILE COLOUR: "WIDTH HEIGHT X Y" around the pixels of exactly that colour (lines a pixel
# thin left out).
area() {
    convert "$1" -fill black +opaque "$2" -fill white -opaque "$2" -morphology Open Square:3 \
        -trim -format '%w %h %X %Y\n' info: 2>/dev/null | tr -d '+'
}

# box_over_loading LABEL: the calculator started with a key picture missing: the box that
# reports it comes up over the loading window. Checks that the box is drawn (its light inside
# is seen, not a black or empty window) and sets BOX_SHARE and TITLE_SHARE, the edge shares of
# the box's inside and of the loading window's title, above its progress bar.
box_over_loading() {
    local label=$1 bw=0 bh bx by w h x y
    dir=$(new_dir "$label")
    rm "$dir/tex/Button/0.jpg"
    launch "$dir" WAYLAND_DISPLAY="$SOCKET" XDG_RUNTIME_DIR="$RUNTIME" DISPLAY="$XWAYLAND"
    for _ in $(seq 100); do
        shot "$WORK/$label.png"
        read -r bw bh bx by < <(area "$WORK/$label.png" '#F2F2F2') || true
        [ "${bw:-0}" -ge 200 ] && [ "${bh:-0}" -ge 40 ] && break
        sleep 0.1
    done
    settle "$WORK/$label.png"
    read -r bw bh bx by < <(area "$WORK/$label.png" '#F2F2F2') || true
    check "$label: the box over the loading window is drawn (its inside ${bw}x${bh})" \
        test "${bw:-0}" -ge 200 -a "${bh:-0}" -ge 40
    BOX_SHARE=$(edge_share "$WORK/$label.png" "${bw}x${bh}+${bx}+${by}")
    # The bar's track, and the title three bar heights above it.
    read -r w h x y < <(area "$WORK/$label.png" '#E6E6E6') || true
    check "$label: the loading window's bar is seen (${w}x${h})" test "${w:-0}" -ge 100
    TITLE_SHARE=$(edge_share "$WORK/$label.png" "${w}x$((3 * h))+${x}+$((y - 7 * h / 2))")
    stop_tessel
}

start_display
xwayland 1
session_start scale1
TOP=$(content_top "$WORK/scale1.png" "$INSET")
whole "$WORK/scale1.png" "scale 1"
sharp1=$(sharpness "$WORK/scale1.png")
stop_tessel
box_over_loading loading1
box1=$BOX_SHARE
title1=$TITLE_SHARE

xwayland 2
session_start scale2
check "scale 2: a plain start in a Wayland session makes no XWayland window" \
    test -z "$(DISPLAY=$XWAYLAND xdotool search --name "^$CAPTION\$" 2>/dev/null)"
TOP=$(content_top "$WORK/scale2.png" "$INSET")
check "scale 2: the window's picture is found (below row '$TOP')" test -n "$TOP"
whole "$WORK/scale2.png" "scale 2"
sharp2=$(sharpness "$WORK/scale2.png")
check "scale 2: the keys are as sharp as at scale 1 ($sharp2 against $sharp1)" \
    test $((sharp2 * 10)) -ge $((sharp1 * 9))
check "scale 2: nothing on standard error" test ! -s "$dir/stderr.log"
stop_tessel
# The loading window and the boxes drawn at the output's density, not enlarged.
box_over_loading loading2
check "scale 2: the box's text is as sharp as at scale 1 ($BOX_SHARE against $box1)" \
    test $((BOX_SHARE * 10)) -ge $((box1 * 8))
check "scale 2: the loading window's picture is as sharp as at scale 1 ($TITLE_SHARE against $title1)" \
    test $((TITLE_SHARE * 10)) -ge $((title1 * 8))

session_start x11 SDL_VIDEODRIVER=x11
check "SDL_VIDEODRIVER=x11 makes an X11 window" \
    test -n "$(DISPLAY=$XWAYLAND xdotool search --name "^$CAPTION\$" 2>/dev/null)"
TOP=$(content_top "$WORK/x11.png" "$INSET")
whole "$WORK/x11.png" "x11 at scale 2"
stop_tessel
finish
