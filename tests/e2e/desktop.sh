#!/bin/bash
# The windows as the desktop sees them. The main window, the loading window and a message box
# carry the program's icon (with a 48 x 48 picture among its sizes, the one installed for the
# desktop) and the window class the desktop entry names.
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
# division by zero in a box and checks the box; sets BOX.
box_over_calculator() {
    local label=$1 dir wid
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
    box_takes_focus "$BOX" || true
}

# loading_window LABEL: starts the calculator where it finds no pictures; once the first
# box (for the welcome picture) is dismissed the loading window is on the screen, behind the
# next box; checks it.
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
    read -r id _ < <("$HELPERS/find_windows" "" | head -n1) ||
        fail "$label: the loading window is on the screen"
    carries_icon "$label loading window" "$id"
    stop_tessel
}

start_display
box_over_calculator plain
xdotool key Return
box_gone "$BOX" || true
close_tessel plain
loading_window plain-loading

finish
