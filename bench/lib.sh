# shellcheck shell=bash
# Shared by the benchmarks: a private X server.

# start_xvfb GEOMETRY: an Xvfb of that geometry (WxHxDEPTH) on the first free display from
# :150 on; sets DISPLAY and XVFB_PID (to end it with the benchmark).
start_xvfb() {
    local n
    XVFB_PID=""
    for n in $(seq 150 199); do
        [ -e "/tmp/.X$n-lock" ] && continue
        Xvfb ":$n" -screen 0 "$1" -nolisten tcp -noreset >/dev/null 2>&1 &
        XVFB_PID=$!
        export DISPLAY=":$n"
        for _ in $(seq 50); do
            xdotool getdisplaygeometry >/dev/null 2>&1 && return 0
            sleep 0.1
        done
        kill "$XVFB_PID" 2>/dev/null || true
        XVFB_PID=""
    done
    echo "no X server could be started on :150..:199" >&2
    exit 1
}
