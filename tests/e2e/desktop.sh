#!/bin/bash
# The windows as the desktop sees them, and as large as the desktop asks. The main window,
# the loading window and a message box carry the program's icon (with a 48 x 48 picture among
# its sizes, the one installed for the desktop) and the window class the desktop entry names;
# at Xft.dpi 192 on a 3840 x 2160 screen the loading window and the message box are twice
# the size they have at 96 dpi.
# Arguments: TESSEL-BINARY SOURCE-TEX-FOLDER HELPER-FOLDER
# shellcheck source-path=SCRIPTDIR source=lib.sh
source "$(dirname "$0")/lib.sh"
INSTALLED_ICON="$(dirname "$TESSEL")/icons/hicolor/48x48/apps/tessel.png"
[ -f "$INSTALLED_ICON" ] || { echo "no icon drawn at $INSTALLED_ICON" >&2; exit 2; }

# carries_icon LABEL ID: checks the window's class and that its icon has a 48 x 48 picture,
# the same as the installed icon.
carries_icon() {
    local label=$1 id=$2 props
    props=$("$HELPERS/window_icon" "$id" 48 "$WORK/$label-icon.pam") || true
    check "$label: the window class is tessel ($(head -n1 <<<"$props"))" \
        test "$(head -n1 <<<"$props")" = "class tessel tessel"
    check "$label: the icon has a 48x48 picture ($(tail -n1 <<<"$props"))" \
        grep -qw 48x48 <<<"$(tail -n1 <<<"$props")"
    check "$label: it is the installed icon ($(differing_pixels "$WORK/$label-icon.pam" \
        "$INSTALLED_ICON") pixels differ)" same "$WORK/$label-icon.pam" "$INSTALLED_ICON"
}

# box_over_calculator LABEL: starts the calculator, checks its window, makes it report a
# division by zero in a box; sets BOX, BOX_W and BOX_H.
box_over_calculator() {
    local label=$1 dir wid bx by
    dir=$(new_dir "$label")
    launch "$dir"
    wid=$(wait_window)
    carries_icon "$label main window" "$wid"
    read_main_geometry
    focus "$wid"
    xdotool mousemove "$((MAIN_X + 5))" "$((MAIN_Y + 5))"
    xdotool type --delay 100 '5/0='
    sleep 0.5
    xdotool key plus
    BOX=$(wait_box 10) || fail "$label: the conversion error comes up in a box"
    carries_icon "$label message box" "$BOX"
    read -r bx by BOX_W BOX_H < <(box_geometry "$BOX")
    box_takes_focus "$BOX" || true
    settle "$WORK/$label.png"
    crop "$WORK/$label.png" "${BOX_W}x${BOX_H}+${bx}+${by}" "$WORK/$label-box.png"
}

# loading_window LABEL: starts the calculator where it finds no pictures; once the first
# box (for the welcome picture) is dismissed the loading window is on the screen, behind the
# next box. Sets LOADING_W and LOADING_H.
loading_window() {
    local label=$1 dir box id
    dir=$(mktemp -d "$WORK/$label.XXXXXX")
    launch "$dir"
    box=$(wait_box 20) || fail "$label: the welcome picture is reported"
    focus "$box"
    xdotool key Return
    box_gone "$box" || true
    wait_box 10 >/dev/null || fail "$label: the next picture is reported"
    # The loading window is the one mapped window without a name.
    read -r id _ _ LOADING_W LOADING_H < <("$HELPERS/find_windows" "" | head -n1) ||
        fail "$label: the loading window is on the screen"
    carries_icon "$label loading window" "$id"
    stop_tessel
}

start_display
box_over_calculator plain
plain_w=$BOX_W
plain_h=$BOX_H
check "plain: the box has its design size at 96 dpi (${plain_w}x${plain_h})" \
    test "$plain_w" -lt 600 -a "$plain_h" -lt 200
xdotool key Return
box_gone "$BOX" || true
close_tessel plain
loading_window plain-loading
check "plain: the loading window is 400x200 (${LOADING_W}x${LOADING_H})" \
    test "${LOADING_W}x${LOADING_H}" = 400x200

# A fine screen, for which the desktop asks for twice the resolution.
kill "$XVFB_PID"
wait "$XVFB_PID" 2>/dev/null || true
[ -z "$WM_PID" ] || { kill "$WM_PID" 2>/dev/null || true; wait "$WM_PID" 2>/dev/null || true; }
W=3840
H=2160
start_display
echo 'Xft.dpi: 192' | xrdb -merge
box_over_calculator scaled
# The text is drawn at twice the size, which is not exactly twice as wide.
check "scaled: the box is about twice as wide (${BOX_W} against ${plain_w})" \
    test "$((BOX_W * 10))" -ge "$((plain_w * 18))" -a "$((BOX_W * 10))" -le "$((plain_w * 22))"
check "scaled: and twice as high (${BOX_H} against ${plain_h})" \
    test "$((BOX_H * 10))" -ge "$((plain_h * 18))" -a "$((BOX_H * 10))" -le "$((plain_h * 22))"
# Its OK button is where twice the margins put it, and a click there dismisses the box.
read -r bx by _ _ < <(box_geometry "$BOX")
xdotool mousemove "$((bx + BOX_W - 36 - 88))" "$((by + BOX_H - 36 - 30))" click 1
check "scaled: a click on the OK button, twice as large, dismisses the box" box_gone "$BOX"
close_tessel scaled
loading_window scaled-loading
check "scaled: the loading window is 800x400 (${LOADING_W}x${LOADING_H})" \
    test "${LOADING_W}x${LOADING_H}" = 800x400
finish
