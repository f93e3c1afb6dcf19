# shellcheck shell=bash
# The one starter of a private X server, shared by the windowed tests and the benchmarks.

# display_taken N: whether display :N is in use. Its lock file tells of a server started with
# this /tmp; a server in another root that shares the machine's abstract sockets (a container,
# a chroot) leaves no lock here but still answers on the number, and clients would reach it
# instead of the server started for them.
display_taken() {
    [ -e "/tmp/.X$1-lock" ] || [ -e "/tmp/.X11-unix/X$1" ] ||
        DISPLAY=":$1" xdotool getdisplaygeometry >/dev/null 2>&1
}

# start_xvfb GEOMETRY FIRST LOG [XVFB-OPTIONS...]: an Xvfb of that geometry (WxHxDEPTH) on
# the first free display from :FIRST to :199, its output in LOG; sets DISPLAY and XVFB_PID.
# It keeps its keyboard layout when setxkbmap disconnects (-noreset). Returns 1 when no
# server could be started.
start_xvfb() {
    local geometry=$1 first=$2 log=$3 n i
    shift 3
    XVFB_PID=""
    for n in $(seq "$first" 199); do
        display_taken "$n" && continue
        Xvfb ":$n" -screen 0 "$geometry" -nolisten tcp -noreset "$@" >"$log" 2>&1 &
        XVFB_PID=$!
        export DISPLAY=":$n"
        for i in $(seq 50); do
            kill -0 "$XVFB_PID" 2>/dev/null || break
            xdotool getdisplaygeometry >/dev/null 2>&1 && return 0
            sleep 0.1
        done
        # Lost a race for this number with another server, or it did not come up.
        kill "$XVFB_PID" 2>/dev/null || true
        wait "$XVFB_PID" 2>/dev/null || true
        XVFB_PID=""
    done
    echo "no X server could be started on :$first..:199" >&2
    return 1
}
