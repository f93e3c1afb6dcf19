#!/bin/bash
# The calculator as a screen reader finds it, on a private session bus of its own: while the
# desktop's accessibility is off it is not on the accessibility bus; turned on while it runs,
# a client on Atspi finds the application with 22 push buttons named by what they do, each
# with a "click" action; presses 1 2 + 3 0 = through them and reads 42 from the display, the
# result announced; 5 ÷ 0 = reads DIVIDE BY 0; Tab moves the focused state; the card can be
# read with the frame up; a key's extents cover the key drawn; idle costs nothing with the
# bridge attached; NO_AT_BRIDGE=1 keeps it off the bus; the accessibility bus going away
# leaves the calculator working. E2E_WAYLAND=1 runs it as a Wayland client under weston.
if [ -z "${TESSEL_ACCESS_BUS:-}" ]; then
    runtime=$(mktemp -d /tmp/tessel-e2e-access-runtime.XXXXXX)
    status=0
    # Nothing is written to the user's settings, nor to their runtime folder.
    TESSEL_ACCESS_BUS=1 GSETTINGS_BACKEND=memory XDG_RUNTIME_DIR=$runtime \
        dbus-run-session -- bash "$0" "$@" 2> >(grep -v 'fd limit' >&2) || status=$?
    rm -rf "$runtime"
    exit "$status"
fi
# shellcheck source=lib.sh
source "$(dirname "$0")/lib.sh" "$@"
wayland=${E2E_WAYLAND:-0}
if [ "$wayland" = 1 ]; then
    # shellcheck source=weston.sh
    source "$(dirname "$0")/weston.sh"
fi
# Debian's own interpreter, the one that has the GObject bindings.
client() {
    ACCESS_WAIT=${ACCESS_WAIT:-20} /usr/bin/python3 "$(dirname "$0")/access_client.py" "$@" \
        2>>"$WORK/client.log"
}
fact() { # fact NAME OUTPUT: the rest of the line that starts with NAME
    sed -n "s/^$1 //p" <<<"$2" | head -n1
}
status_property() {
    gdbus call --session --dest org.a11y.Bus --object-path /org/a11y/bus \
        --method org.freedesktop.DBus.Properties."$@" >/dev/null
}
start_here() { # start_here NAME [VAR=VALUE...]
    local dir
    dir=$(new_dir "$1")
    shift
    if [ "$wayland" = 1 ]; then
        launch "$dir" SDL_VIDEODRIVER=wayland WAYLAND_DISPLAY="$SOCKET" XDG_RUNTIME_DIR="$RUNTIME" \
            DBUS_SESSION_BUS_ADDRESS="$DBUS_SESSION_BUS_ADDRESS" "$@"
        sleep 3
        # Weston gives the keyboard to the window clicked, here beside the calculator.
        xdotool mousemove "$((W - 20))" "$((H - 20))" click 1
    else
        launch "$dir" "$@"
        focus "$(wait_window)"
        sleep 0.5
    fi
}

start_display
[ "$wayland" = 1 ] && start_weston 1
# The accessibility bus's launcher runs, with the desktop's accessibility off.
status_property Set org.a11y.Status IsEnabled '<false>'
status_property Set org.a11y.Status ScreenReaderEnabled '<false>'
start_here off
out=$(ACCESS_WAIT=3 client tree || true)
check "with the desktop's accessibility off, it is not on the accessibility bus" \
    grep -q 'no application' <<<"$out"

status_property Set org.a11y.Status IsEnabled '<true>'
out=$(client tree)
check "accessibility turned on while it runs, it joins (found: $(fact frame "$out"))" \
    test "$(fact frame "$out")" = "frame Tessel"
check "22 push buttons with unique names ($(fact buttons "$out"))" \
    test "$(fact buttons "$out")" = "22 unique 22"
check "each has the action click ($(fact clickable "$out"))" test "$(fact clickable "$out")" = 22
check "the keys are named by what they do" test "$(fact names "$out")" = \
    "0|1|2|3|4|5|6|7|8|9|Change sign|Clear|Clear entry|Decimal comma|Divide|Equals|Memory add|Memory clear|Memory recall|Minus|Multiply|Plus"
check "a key's shortcut is its binding ($(fact binding "$out"))" \
    test "$(fact binding "$out")" = ';;<Control>l'
check "the display reads 0 at start" test "$(fact display "$out")" = 0

out=$(client press 1 2 Plus 3 0 Equals)
check "1 2 + 3 0 = through the actions reads 42 ($(fact display "$out"))" \
    test "$(fact display "$out")" = 42
check "and announces 42 alone ($(fact announced "$out"))" test "$(fact announced "$out")" = 42
out=$(client press Clear 5 Divide 0 Equals)
check "5 ÷ 0 = reads DIVIDE BY 0 ($(fact display "$out"))" \
    test "$(fact display "$out")" = "DIVIDE BY 0"
check "and announces it" test "$(fact announced "$out")" = "DIVIDE BY 0"
out=$(client press Clear 7 "Memory add" "Memory recall")
check "M+ and MR are announced ($(fact announced "$out"))" \
    test "$(fact announced "$out")" = "Memory 7|7"
check "the memory mark is told in the display's description" \
    test "$(fact description "$out")" = "Memory in use"

xdotool key Tab
sleep 0.5
first=$(fact focused "$(client focused)")
xdotool key Tab
sleep 0.5
second=$(fact focused "$(client focused)")
check "Tab gives a key the focused state ('$first'), the next Tab the next key ('$second')" \
    test -n "$first" -a -n "$second" -a "$first" != "$second"

read -r x y w h < <(fact extents "$(client extents 7)")
if [ "$wayland" = 1 ]; then
    check "under Wayland the extents lie in the window ($x $y ${w}x$h)" \
        test "$x" -ge 0 -a "$y" -ge 0 -a "$((x + w))" -le "$W" -a "$((y + h))" -le "$H" -a "$w" -gt 20
else
    read_main_geometry
    read -r kx ky < <(key_centre 3 0)
    check "the key 7's extents ($x $y ${w}x$h) cover the key drawn at $kx,$ky" \
        test "$x" -lt "$kx" -a "$kx" -lt "$((x + w))" -a "$y" -lt "$ky" -a "$ky" -lt "$((y + h))" \
        -a "$w" -lt 100
fi

client keys 4 >"$WORK/keys.out" &
listener=$!
sleep 1.5
xdotool type --delay 100 '12'
wait "$listener" || true
check "the keys typed reach the screen reader's key listeners ($(fact typed "$(cat "$WORK/keys.out")"))" \
    grep -q '^typed .*12' "$WORK/keys.out"

xdotool key F1
sleep 1.5
out=$(client card)
check "with the frame up, the card can be read" grep -qx 'F1: this card' <<<"$out"

ticks() { awk '{ print $14 + $15 }' "/proc/$(pgrep -P "$TESSEL_PID" -x tessel || echo "$TESSEL_PID")/stat"; }
before=$(ticks)
sleep 3
after=$(ticks)
check "idle with the bridge attached costs nothing ($((after - before)) ticks in 3 s)" \
    test "$((after - before))" -le 1
stop_tessel

start_here nobridge NO_AT_BRIDGE=1
out=$(ACCESS_WAIT=3 client tree || true)
check "NO_AT_BRIDGE=1 keeps it off the accessibility bus" grep -q 'no application' <<<"$out"
stop_tessel

start_here gone
client tree >/dev/null
pkill -f 'dbus-daemon.*accessibility.conf' || true
sleep 0.5
xdotool type --delay 80 '7*6='
sleep 0.5
check "the accessibility bus gone, the calculator runs on" running
if [ "$wayland" != 1 ]; then
    xdotool key ctrl+c
    sleep 0.3
    value=$(timeout 5 xclip -o -selection clipboard 2>/dev/null || true)
    check "and still calculates: 7*6= gives '$value'" test "$value" = 42
    close_tessel "after the bus went"
fi
finish
