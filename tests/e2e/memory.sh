#!/bin/bash
# The memory register is kept between sessions: after M+ and a close, or a kill -9, the next
# start shows the memory mark and MR gives the value; a state file that is damaged or
# replaced by something else never stops a start nor brings up a box, and the next M+ is kept
# where it can be.
# Arguments: TESSEL-BINARY SOURCE-TEX-FOLDER HELPER-FOLDER
# shellcheck source-path=SCRIPTDIR source=lib.sh
source "$(dirname "$0")/lib.sh"
start_display
display=$(display_region)

# start_in DIR: the calculator started in DIR, its window focused and its picture settled.
start_in() {
    launch "$1"
    focus "$(wait_window)"
    redraw "$WORK/shown.png"
}
# copied: the number on the display, as Ctrl+C copies it.
copied() {
    xdotool key ctrl+c
    sleep 0.3
    timeout 5 xclip -o -selection clipboard 2>/dev/null || true
}
# recalled: the memory, as MR shows it.
recalled() {
    xdotool key Escape ctrl+r
    copied
}

fresh=$(new_dir fresh)
start_in "$fresh"
crop "$WORK/shown.png" "$display" "$WORK/display-fresh.png"
close_tessel fresh

dir=$(new_dir kept)
start_in "$dir"
xdotool type --delay 80 '5'
xdotool key ctrl+p
close_tessel "5 M+"
start_in "$dir"
crop "$WORK/shown.png" "$display" "$WORK/display-kept.png"
check "after 5 M+ and a close, the next start shows the memory mark" \
    not_same "$WORK/display-fresh.png" "$WORK/display-kept.png"
value=$(recalled)
check "and MR gives 5 (got '$value')" test "$value" = "5"
xdotool key Escape
xdotool type --delay 80 '7'
xdotool key ctrl+p
stop_tessel # kill -9 right after M+
start_in "$dir"
value=$(recalled)
check "after 7 M+ and kill -9, MR gives the sum (got '$value')" test "$value" = "12"
close_tessel "after the kill"

# State files that are no good: each start goes on with no memory, without a box.
printf 'MEMORY=7\n' >"$WORK/elsewhere"
for bad in random megabytes link folder; do
    dir=$(new_dir "$bad")
    case $bad in
    random) head -c 300 /dev/urandom >"$dir/memory" ;;
    megabytes) head -c 3000000 /dev/zero | tr '\0' 'M' >"$dir/memory" ;;
    link) ln -s "$WORK/elsewhere" "$dir/memory" ;;
    folder) mkdir "$dir/memory" ;;
    esac
    start_in "$dir"
    check "$bad: the calculator starts without a box" test -z "$(message_boxes)"
    check "$bad: one line on stderr says why" \
        test "$(grep -c 'kept memory' "$dir/stderr.log")" = 1
    value=$(recalled)
    check "$bad: MR gives 0 (got '$value')" test "$value" = "0"
    xdotool type --delay 80 '3'
    xdotool key ctrl+p
    close_tessel "$bad"
    if [ "$bad" = folder ]; then
        check "$bad: the folder is left as it was" test -d "$dir/memory"
    else
        check "$bad: the next M+ is kept in a good file" grep -qx 'MEMORY=3' "$dir/memory"
    fi
done
check "the link's target is left as it was" grep -qx 'MEMORY=7' "$WORK/elsewhere"
finish
