# shellcheck shell=bash
# Shared by the benchmarks: a private X server, from :150 on.
# shellcheck source=../scripts/xvfb.sh
source "$(dirname "${BASH_SOURCE[0]}")/../scripts/xvfb.sh"

# What a benchmark leaves behind, however it ends: bench_work NAME makes the folder $work and
# sets the trap that removes it, and ends the calculator in $program and the X server in
# $XVFB_PID, whichever are running.
program=""
XVFB_PID=""
bench_cleanup() {
    [ -z "$program" ] || kill "$program" 2>/dev/null || true
    [ -z "$XVFB_PID" ] || kill "$XVFB_PID" 2>/dev/null || true
    wait 2>/dev/null || true
    rm -rf "$work"
}
bench_work() {
    work=$(mktemp -d "/tmp/tessel-$1.XXXXXX")
    trap bench_cleanup EXIT
}
