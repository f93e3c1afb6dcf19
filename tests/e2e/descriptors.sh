#!/bin/bash
# Closed standard descriptors and a stderr nobody reads: started with stdin, stdout or stderr
# closed, or with stderr a pipe whose reader has gone, the calculator still shows its
# messages, stays responsive and closes on request with status 0.
# Arguments: TESSEL-BINARY SOURCE-TEX-FOLDER HELPER-FOLDER
# shellcheck source-path=SCRIPTDIR source=lib.sh
source "$(dirname "$0")/lib.sh"
start_display

# launch_with LABEL REDIRECTIONS: starts the calculator in a fresh folder with the standard
# descriptors as the redirections leave them.
launch_with() {
    local dir
    dir=$(new_dir "$1")
    case $2 in
    no-stdin) (cd "$dir" && exec setsid "$TESSEL" <&- >"$dir/stdout.log" 2>"$dir/stderr.log") & ;;
    no-stderr) (cd "$dir" && exec setsid "$TESSEL" >"$dir/stdout.log" 2>&-) & ;;
    no-output) (cd "$dir" && exec setsid "$TESSEL" >&- 2>&-) & ;;
    broken-pipe)
        # The reader ends at once: every write to stderr meets a pipe with no reader.
        (cd "$dir" && exec setsid "$TESSEL" >"$dir/stdout.log" 2> >(exit 0)) &
        ;;
    esac
    TESSEL_PID=$!
}

for how in no-stdin no-stderr no-output broken-pipe; do
    launch_with "$how" "$how"
    wid=$(wait_window)
    focus "$wid"
    xdotool mousemove 5 5
    # An error to report, in a box and on stderr: "+" after OVERFLOW.
    xdotool type --delay 80 '9999999999+1='
    xdotool key plus
    box=$(wait_box 10) || fail "$how: the conversion error comes up in a box"
    xdotool key Return
    check "$how: the box goes with Return" box_gone "$box"
    check "$how: the program is still running after its message" running
    focus "$wid"
    xdotool key Escape
    xdotool type --delay 80 '12+3='
    xdotool key ctrl+c
    sleep 0.3
    got=$(timeout 5 xclip -o -selection clipboard 2>/dev/null || true)
    check "$how: the calculator still answers after the message (12+3= copies '$got')" \
        test "$got" = 15
    close_tessel "$how"
done
finish
