# shellcheck shell=bash
# Shared by the windowed end-to-end tests: a private X server, fresh working directories,
# the calculator started in them, screenshots, and the checks' bookkeeping.
# A test script sources this file with its own arguments:
#   TESSEL-BINARY SOURCE-TEX-FOLDER HELPER-FOLDER   (the folder holding close_window,
#   find_windows and cover_window)
# Set E2E_KEEP=1 to keep the working directories and screenshots after the run,
# E2E_WM=openbox to run the tests under that window manager, and E2E_XVFB_ARGS to give the
# X server further options (for example "-fp built-ins": no X core fonts).
set -euo pipefail
# shellcheck source=../../scripts/xvfb.sh
source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/xvfb.sh"

if [ $# -ne 3 ]; then
    echo "usage: $0 TESSEL-BINARY SOURCE-TEX-FOLDER HELPER-FOLDER" >&2
    exit 2
fi
TESSEL=$(realpath "$1")
TEX=$(realpath "$2")
HELPERS=$(realpath "$3")
for f in "$TESSEL" "$HELPERS/close_window" "$HELPERS/find_windows" "$HELPERS/cover_window"; do
    [ -x "$f" ] || { echo "not an executable: $f" >&2; exit 2; }
done
[ -d "$TEX" ] || { echo "not a folder: $TEX" >&2; exit 2; }

readonly CAPTION="Tessel"
readonly BOX_CAPTION="Calculator with 3D-interface"
W=1024
H=768
TEST_NAME=$(basename "$0" .sh)
WORK=$(mktemp -d "/tmp/tessel-e2e-$TEST_NAME.XXXXXX")
XVFB_PID=""
WM_PID=""
TESSEL_PID=""
# The calculator's window: its inside on the screen, set by read_main_geometry.
MAIN_X=0
MAIN_Y=0
MAIN_W=$W
MAIN_H=$H
PASSED=0
FAILED=0

e2e_cleanup() {
    local status=$?
    stop_tessel
    if [ -n "$WM_PID" ]; then
        kill "$WM_PID" 2>/dev/null || true
        wait "$WM_PID" 2>/dev/null || true
    fi
    if [ -n "$XVFB_PID" ]; then
        kill "$XVFB_PID" 2>/dev/null || true
        wait "$XVFB_PID" 2>/dev/null || true
    fi
    if [ "${E2E_KEEP:-0}" = 1 ] || [ "$status" -ne 0 ]; then
        echo "working files kept in $WORK"
    else
        # Directories a test made read-only must be writable again to be removed.
        chmod -R u+w "$WORK" 2>/dev/null || true
        rm -rf "$WORK"
    fi
}
trap e2e_cleanup EXIT

# check DESCRIPTION COMMAND...: runs the command and counts it as a passed or failed check.
check() {
    local description=$1
    shift
    if "$@"; then
        PASSED=$((PASSED + 1))
        echo "ok: $description"
    else
        FAILED=$((FAILED + 1))
        echo "FAILED: $description"
    fi
}

# fail DESCRIPTION: a check that cannot go on; stops the test.
fail() {
    FAILED=$((FAILED + 1))
    echo "FAILED: $1"
    finish
}

finish() {
    echo "$TEST_NAME: $PASSED passed, $FAILED failed"
    [ "$FAILED" -eq 0 ] || exit 1
    exit 0
}

# start_display: a W x H Xvfb on the first free display from :100 on, with the options of
# E2E_XVFB_ARGS, and the window manager of E2E_WM if one is asked for.
start_display() {
    local -a args
    read -r -a args <<<"${E2E_XVFB_ARGS:-}"
    start_xvfb "${W}x${H}x24" 100 "$WORK/xvfb.log" "${args[@]}" || exit 1
    start_window_manager
}

start_window_manager() {
    case "${E2E_WM:-}" in
    "") return 0 ;;
    openbox) openbox --sm-disable >"$WORK/wm.log" 2>&1 & ;;
    *) echo "unknown window manager '$E2E_WM'" >&2; exit 2 ;;
    esac
    WM_PID=$!
    local i
    for i in $(seq 100); do
        "$HELPERS/find_windows" -w && return 0
        sleep 0.1
    done
    echo "the window manager $E2E_WM did not start" >&2
    exit 1
}

# unused_display: prints a display number from 100..199 that no X server has.
unused_display() {
    local n
    for n in $(seq 199 -1 100); do
        if ! display_taken "$n"; then
            echo "$n"
            return 0
        fi
    done
    echo "no unused display number in 100..199" >&2
    exit 1
}

# new_dir [NAME]: prints a fresh working directory holding a copy of the tex folder.
new_dir() {
    local dir
    dir=$(mktemp -d "$WORK/${1:-run}.XXXXXX")
    cp -r "$TEX" "$dir/tex"
    echo "$dir"
}

# launch DIR [VAR=VALUE...]: starts the calculator in DIR, in a process group of its own
# (so that message-box processes it forks are ended with it); sets TESSEL_PID.
# With AS_NOBODY=1 the calculator runs as the unprivileged user nobody, for checks of file
# permissions that root would ignore.
launch() {
    local dir=$1
    local -a as=()
    shift
    if [ "${AS_NOBODY:-0}" = 1 ]; then
        as=(setpriv --reuid=nobody --regid=nogroup --clear-groups)
        chmod o+x "$WORK"
    fi
    (cd "$dir" && exec env "$@" setsid "${as[@]}" "$TESSEL" >"$dir/stdout.log" 2>"$dir/stderr.log") &
    TESSEL_PID=$!
}

# stop_tessel: ends the calculator started last, and what it forked, if still there.
stop_tessel() {
    [ -n "$TESSEL_PID" ] || return 0
    kill -KILL -- "-$TESSEL_PID" 2>/dev/null || true
    wait "$TESSEL_PID" 2>/dev/null || true
    TESSEL_PID=""
}

# take_status: sets STATUS to the exit status of the calculator started last, once it has
# ended; one still running is ended, and STATUS says so.
take_status() {
    STATUS=0
    if running; then
        STATUS="none, still running"
        stop_tessel
    else
        wait "$TESSEL_PID" || STATUS=$?
        TESSEL_PID=""
    fi
}

# running: true while the calculator started last has not ended.
running() {
    local state
    [ -n "$TESSEL_PID" ] || return 1
    state=$(cut -d' ' -f3 "/proc/$TESSEL_PID/stat" 2>/dev/null) || return 1
    [ "$state" != Z ]
}

stopped() {
    ! running
}

# elapsed_ms START: milliseconds since START, a value of $EPOCHREALTIME.
elapsed_ms() {
    awk -v a="$1" -v b="$EPOCHREALTIME" 'BEGIN { printf "%d\n", (b - a) * 1000 }'
}

# wait_window: waits for the calculator's window to be mapped and to fill the screen;
# prints its id. Fails the test if it does not within 20 s.
wait_window() {
    local seconds=20 wid="" i
    # Only a window of this process: the one of a calculator that has just ended can still be
    # listed for a moment, and would be gone by the time it is used.
    # Asked again and again rather than with --sync: xdotool ends when a window it looks at goes
    # away meanwhile, as the loading window does.
    for i in $(seq $((seconds * 10))); do
        wid=$(xdotool search --onlyvisible --all --pid "$TESSEL_PID" --name "^$CAPTION\$" \
            2>/dev/null | head -n1) || true
        [ -z "$wid" ] || break
        running || break
        sleep 0.1
    done
    [ -n "$wid" ] || fail "the window '$CAPTION' appears within $seconds s"
    for i in $(seq $((seconds * 10))); do
        if maximised; then
            echo "$wid"
            return 0
        fi
        running || break
        sleep 0.1
    done
    fail "the window fills the ${W}x${H} screen (it is $(window_size_by_name))"
}

# main_geometry: prints "X Y WIDTH HEIGHT" of the inside of the calculator's window.
main_geometry() {
    "$HELPERS/find_windows" "$CAPTION" 2>/dev/null | head -n1 | cut -d' ' -f2-
}

# read_main_geometry: sets MAIN_X, MAIN_Y, MAIN_W and MAIN_H from the calculator's window.
read_main_geometry() {
    read -r MAIN_X MAIN_Y MAIN_W MAIN_H < <(main_geometry)
}

# maximised: true when the calculator's window fills the screen; under a window manager, its
# width and all of its height but the title bar.
maximised() {
    local x y w h
    read -r x y w h < <(main_geometry) || return 1
    if [ -n "${E2E_WM:-}" ]; then
        [ "$w" = "$W" ] && [ "$x" = 0 ] && [ "$((y + h))" = "$H" ] && [ "$h" -gt $((H - 60)) ]
    else
        [ "$x $y $w $h" = "0 0 $W $H" ]
    fi
}

window_size() {
    xdotool getwindowgeometry --shell "$1" 2>/dev/null |
        awk -F= '/^WIDTH/{w=$2} /^HEIGHT/{h=$2} END{print w, h}'
}

# focus WID: gives the keyboard to the window (without a window manager nothing else does).
focus() {
    # A window that has just gone is no error of this script's: what the keyboard then
    # fails to reach, the checks that follow find.
    xdotool windowfocus --sync "$1" 2>/dev/null || xdotool windowfocus "$1" 2>/dev/null || true
}

# close_tessel LABEL: closes the window as a user does and waits up to 5 s for the
# process to end; checks it ended by itself with status 0.
close_tessel() {
    local label="$1: " seconds=5 status=0 i
    check "${label}the window '$CAPTION' can be asked to close" \
        "$HELPERS/close_window" "$CAPTION"
    for i in $(seq $((seconds * 10))); do
        running || break
        sleep 0.1
    done
    if running; then
        check "${label}the process ends within $seconds s of the close request" false
        stop_tessel
        return 0
    fi
    wait "$TESSEL_PID" || status=$?
    TESSEL_PID=""
    check "${label}the process exits with status 0 after the close request (got $status)" \
        test "$status" -eq 0
}

# shot FILE: a screenshot of the whole screen.
shot() {
    import -window root "png:$1"
}

# settle FILE: waits for the picture to stop changing (after input, a key's animation or
# a resize) and leaves the last screenshot in FILE.
settle() {
    local out=$1 previous="$1.previous.png" i
    sleep 0.3
    shot "$previous"
    for i in $(seq 60); do
        sleep 0.15
        shot "$out"
        if same "$previous" "$out"; then
            rm -f "$previous"
            return 0
        fi
        mv "$out" "$previous"
    done
    mv "$previous" "$out"
    echo "warning: the picture was still changing after ~10 s" >&2
}

# same A B: true when the two pictures are pixel-identical.
same() {
    compare -metric AE "$1" "$2" null: >/dev/null 2>&1
}

# differing_pixels A B: prints how many pixels differ.
differing_pixels() {
    compare -metric AE "$1" "$2" null: 2>&1 >/dev/null | cut -d' ' -f1 || true
}

# pixel FILE X Y: prints "R G B" of one pixel.
pixel() {
    convert "$1" -crop "1x1+$2+$3" +repage -depth 8 rgb:- | od -An -tu1 | xargs
}

# crop FILE GEOMETRY OUT: cuts a WxH+X+Y rectangle out of a screenshot.
crop() {
    convert "$1" -crop "$2" +repage "png:$3"
}

# project MX MY MZ: prints the screen pixel "X Y" of a model point in the default view
# (60-degree vertical field of view over the calculator's window, eye at the origin, model
# (x, y, z) at eye (z, x, y - 1.4)).
project() {
    awk -v mx="$1" -v my="$2" -v mz="$3" -v x0="$MAIN_X" -v y0="$MAIN_Y" -v w="$MAIN_W" \
        -v h="$MAIN_H" 'BEGIN {
        t = sin(atan2(1, 1) * 4 / 6) / cos(atan2(1, 1) * 4 / 6)
        ex = mz; ey = mx; ez = my - 1.4
        printf "%d %d\n", x0 + (1 + ex / (-ez * t * w / h)) * w / 2 + 0.5,
                          y0 + (1 - ey / (-ez * t)) * h / 2 + 0.5
    }'
}

# region MX0 MX1 MZ0 MZ1 MY INSET: prints the WxH+X+Y screen rectangle of a model-space
# rectangle in the default view, shrunk by INSET pixels on each side.
region() {
    local x0 y0 x1 y1
    read -r x0 y1 < <(project "$1" "$5" "$3")
    read -r x1 y0 < <(project "$2" "$5" "$4")
    echo "$((x1 - x0 - 2 * $6))x$((y1 - y0 - 2 * $6))+$((x0 + $6))+$((y0 + $6))"
}

# The display's glyph area, and a key's screen centre by its row and column.
display_region() {
    region 0.175 0.35 -0.25 0.25 0.03 2
}
readonly KEY_ROWS=(-0.358 -0.259 -0.160 -0.061 0.043)
readonly KEY_COLUMNS=(-0.198 -0.099 0 0.099 0.198)
key_centre() {
    project "${KEY_ROWS[$1]}" 0.0395 "${KEY_COLUMNS[$2]}"
}

# click_at X Y: moves the mouse there, lets a frame find the key under it, clicks, and
# lets the key's animation finish.
click_at() {
    xdotool mousemove "$1" "$2"
    sleep 0.4
    xdotool click 1
    sleep 0.4
}

# message_boxes: prints the ids of the message boxes on the screen.
message_boxes() {
    "$HELPERS/find_windows" "$BOX_CAPTION" 2>/dev/null | cut -d' ' -f1 || true
}

# box_geometry ID: prints "X Y WIDTH HEIGHT" of a message box's inside.
box_geometry() {
    "$HELPERS/find_windows" "$BOX_CAPTION" 2>/dev/null | awk -v id="$1" '$1 == id {print $2, $3, $4, $5}'
}

# focused: prints the id of the window that has the keyboard.
focused() {
    xdotool getwindowfocus 2>/dev/null || true
}

# box_takes_focus ID: true once the box has the keyboard, within 3 s.
box_takes_focus() {
    local i
    for i in $(seq 30); do
        [ "$(focused)" = "$1" ] && return 0
        sleep 0.1
    done
    return 1
}

# box_gone ID: true once the box is off the screen, within 5 s.
box_gone() {
    local i
    for i in $(seq 50); do
        message_boxes | grep -qx "$1" || return 0
        sleep 0.1
    done
    return 1
}

# wait_box SECONDS: prints the id of the first message box that comes up within the time.
wait_box() {
    local deadline=$((SECONDS + $1)) box
    while [ "$SECONDS" -lt "$deadline" ]; do
        box=$(message_boxes | head -n1)
        [ -z "$box" ] || { echo "$box"; return 0; }
        sleep 0.1
    done
    return 1
}

# click_ok ID: clicks the OK button of a message box (bottom right, 18 px from the edges,
# 88 x 30 px).
click_ok() {
    local x y w h
    read -r x y w h < <(box_geometry "$1")
    xdotool mousemove "$((x + w - 18 - 44))" "$((y + h - 18 - 15))" click 1
}

# dismiss_boxes SECONDS: presses Return, as a user does, on every message box that comes up
# until the calculator's window is shown full-screen with no box for a second and a half;
# prints how many boxes there were and how many of them had taken the keyboard themselves.
dismiss_boxes() {
    local seconds=$1 count=0 focused_count=0 quiet=0 box
    local deadline=$((SECONDS + seconds))
    while [ "$SECONDS" -lt "$deadline" ] && running; do
        box=$(message_boxes | head -n1)
        if [ -z "$box" ]; then
            if maximised; then
                quiet=$((quiet + 1))
                [ "$quiet" -lt 15 ] || break
            fi
            sleep 0.1
            continue
        fi
        quiet=0
        if box_takes_focus "$box"; then
            focused_count=$((focused_count + 1))
        else
            focus "$box" || true
        fi
        xdotool key Return
        box_gone "$box" || true
        count=$((count + 1))
    done
    echo "$count $focused_count"
}

not_same() {
    ! same "$1" "$2"
}

# redraw FILE: once any key animation is over, moves the mouse over the background, which
# makes the calculator draw a frame of its present state; leaves the settled screenshot in
# FILE.
redraw() {
    sleep 1
    xdotool mousemove 6 6 mousemove 5 5
    settle "$1"
}

# describe_screen: what is on the screen and what the calculator wrote, for a failure.
describe_screen() {
    local wid
    echo "--- mapped windows:"
    for wid in $(xdotool search --onlyvisible --name '' 2>/dev/null); do
        echo "$wid '$(xdotool getwindowname "$wid" 2>/dev/null)' $(window_size "$wid")"
    done
    echo "--- message boxes: $(message_boxes | xargs)"
    echo "--- running: $(running && echo yes || echo no)"
    echo "--- keyboard focus: $(focused)"
    [ ! -s "$WORK/wm.log" ] || { echo "--- window manager:"; tail -n 20 "$WORK/wm.log"; }
}

window_size_by_name() {
    main_geometry | cut -d' ' -f3-
}
