#!/bin/bash
# The tests' own X server: a display number held by a server of another root (a container or
# a chroot sharing the machine's abstract sockets, which leaves no lock or socket file in this
# /tmp) is passed over, or the tests would type into and photograph that server's screen.
# Arguments: TESSEL-BINARY SOURCE-TEX-FOLDER HELPER-FOLDER
# shellcheck source-path=SCRIPTDIR source=lib.sh
source "$(dirname "$0")/lib.sh"

# The other root's server, seen from here: it answers, but its files are not in this /tmp.
start_xvfb 640x480x24 150 "$WORK/other.log" || fail "no server started"
n=${DISPLAY#:}
other=$XVFB_PID
trap 'kill "$other" 2>/dev/null || true; e2e_cleanup' EXIT
rm -f "/tmp/.X$n-lock" "/tmp/.X11-unix/X$n"

check "a server answering on :$n without its files here counts as there" display_taken "$n"
start_xvfb 800x600x24 "$n" "$WORK/xvfb.log" || fail "no private server started"
check "the private server takes another number (got $DISPLAY)" test "$DISPLAY" != ":$n"
size=$(xdotool getdisplaygeometry)
check "the server the tests reach is the private one ($size)" test "$size" = "800 600"
finish
