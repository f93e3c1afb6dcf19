#!/bin/bash
# Start-up under bad conditions: missing or unreadable pictures, a config.cfg that is a
# directory, a read-only working directory, a window shrunk to nothing. Each time the
# calculator must come up (after its message boxes, or with its defaults), keep running,
# and exit with status 0 when its window is closed. Without an X server it must say so
# and exit with status 1.
# Arguments: TESSEL-BINARY SOURCE-TEX-FOLDER HELPER-FOLDER
# shellcheck source-path=SCRIPTDIR source=lib.sh
source "$(dirname "$0")/lib.sh"
# The pictures the start-up reads: the welcome picture drawn at twice the size is read only
# in its place on a finer screen, and reported as the welcome picture.
PICTURES=$(find "$TEX" -type f -name '*.jpg' ! -name '*@2x.jpg' | wc -l)
readonly PICTURES
start_display

# comes_up NAME EXPECTED-BOXES [OTHER-LINES]: dismisses the boxes, checks their number, that
# each took the keyboard, that each was also written to standard error (besides OTHER-LINES
# lines that are not boxes), and that the window is up; leaves a screenshot in $WORK/NAME.png.
comes_up() {
    local boxes focused lines
    read -r boxes focused < <(dismiss_boxes 60)
    check "$1: $2 message boxes (got $boxes)" test "$boxes" -eq "$2"
    check "$1: each box took the keyboard ($focused of $boxes)" test "$focused" -eq "$boxes"
    lines=$(grep -c '^tessel: ' "$dir/stderr.log" || true)
    check "$1: each message is on standard error too ($lines lines)" \
        test "$lines" -eq $(($2 + ${3:-0}))
    check "$1: the window is shown full-screen" maximised
    maximised || describe_screen
    redraw "$WORK/$1.png"
    check "$1: the default white background is drawn" \
        test "$(pixel "$WORK/$1.png" 5 5)" = "255 255 255"
    check "$1: the calculator is drawn" \
        test "$(pixel "$WORK/$1.png" $((W / 2)) $((H / 2)))" != "255 255 255"
    check "$1: still running" running
}

# No tex folder at all: one box for the welcome picture, then one per texture.
dir=$(mktemp -d "$WORK/no-tex.XXXXXX")
launch "$dir"
comes_up no-tex "$PICTURES"
close_tessel no-tex

# An empty tex folder.
dir=$(mktemp -d "$WORK/empty-tex.XXXXXX")
mkdir "$dir/tex"
launch "$dir"
comes_up empty-tex "$PICTURES"
close_tessel empty-tex

# Every picture unreadable: a third of them empty files, a third not JPEG at all, a third
# JPEG files cut off after 300 bytes.
dir=$(new_dir broken-tex)
n=0
while IFS= read -r f; do
    case $((n % 3)) in
    0) : >"$f" ;;
    1) printf 'this is not a picture\n' >"$f" ;;
    2) head -c 300 "$f" >"$f.part" && mv "$f.part" "$f" ;;
    esac
    n=$((n + 1))
done < <(find "$dir/tex" -type f -name '*.jpg' | sort)
launch "$dir"
comes_up broken-tex "$PICTURES"
close_tessel broken-tex

# config.cfg is a directory: no box, the defaults are used, the directory stays as it is.
dir=$(new_dir config-dir)
mkdir "$dir/config.cfg"
touch "$dir/config.cfg/keep"
before=$(stat -c '%F %a %i' "$dir/config.cfg")
launch "$dir"
comes_up config-dir 0
close_tessel config-dir
check "config-dir: config.cfg is still the same directory" \
    test "$(stat -c '%F %a %i' "$dir/config.cfg")" = "$before"
check "config-dir: its content is untouched" test "$(ls -A "$dir/config.cfg")" = keep

# A read-only working directory: nothing can be written, the defaults are used. Root
# ignores the permissions, so as root the calculator runs as nobody here.
dir=$(new_dir read-only)
chmod 555 "$dir"
as_nobody=0
[ "$(id -u)" -ne 0 ] || as_nobody=1
AS_NOBODY=$as_nobody launch "$dir"
comes_up read-only 0 1
close_tessel read-only
check "read-only: no config.cfg was written" test ! -e "$dir/config.cfg"
check "read-only: the one line on standard error says so ($(cat "$dir/stderr.log"))" \
    grep -q "^tessel: can't write the defaults file config.cfg: " "$dir/stderr.log"
chmod 755 "$dir"

# No X server to show the window on: a message on stderr and status 1, not a calculator
# running on without a window.
dir=$(new_dir no-display)
launch "$dir" DISPLAY=":$(unused_display)"
for _ in $(seq 100); do
    running || break
    sleep 0.1
done
check "no-display: the process ends within 10 s" stopped
take_status
check "no-display: exit status 1 (got $STATUS)" test "$STATUS" = 1
check "no-display: the reason is written to stderr" grep -q '^tessel: ' "$dir/stderr.log"

# Too few file descriptors to make a rendering context: the start says why, in boxes and on
# stderr, and ends with a failing status rather than reporting success.
dir=$(new_dir few-files)
(
    cd "$dir"
    exec >"$dir/stdout.log" 2>"$dir/stderr.log"
    # Only the standard descriptors go with it, as from a desktop's launcher.
    for fd in $(ls /proc/$BASHPID/fd); do
        [ "$fd" -gt 2 ] && eval "exec $fd>&-"
    done
    ulimit -n 5
    exec setsid "$TESSEL"
) &
TESSEL_PID=$!
dismiss_boxes 30 >/dev/null
check "few-files: the process ends once its messages are read" stopped
take_status
check "few-files: a failing exit status (got $STATUS)" test "$STATUS" != 0
check "few-files: the reason is on stderr" grep -q '^tessel: ChoosePixelFormat failed' "$dir/stderr.log"

# The window shrunk to one pixel high (zero is refused by X) and back.
dir=$(new_dir resize)
launch "$dir"
wid=$(wait_window)
redraw "$WORK/resize-before.png"
xdotool windowsize "$wid" "$W" 0 || true
sleep 1
check "resize: still running after asking for a window of zero height" running
xdotool windowsize "$wid" "$W" 1
sleep 1
check "resize: the window is one pixel high" test "$(window_size "$wid")" = "$W 1"
check "resize: still running with a window one pixel high" running
xdotool windowsize "$wid" 1 1
sleep 1
check "resize: the window is one pixel small" test "$(window_size "$wid")" = "1 1"
check "resize: still running with a window of one pixel" running
xdotool windowsize "$wid" "$W" "$H"
redraw "$WORK/resize-after.png"
check "resize: the window is full-size again" test "$(window_size "$wid")" = "$W $H"
check "resize: the picture is drawn again as before" \
    same "$WORK/resize-before.png" "$WORK/resize-after.png"
close_tessel resize
finish
