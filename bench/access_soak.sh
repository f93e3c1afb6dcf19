#!/bin/bash
# Memory over many presses through the accessibility bus: the calculator on a private session
# bus with accessibility on, under Xvfb, pressed ROUNDS x PRESSES times by a client on Atspi;
# its resident memory after each round.
# Usage: bench/access_soak.sh [TESSEL] [ROUNDS] [PRESSES]   (default build/tessel, 10, 1000)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
if [ -z "${TESSEL_ACCESS_BUS:-}" ]; then
    runtime=$(mktemp -d)
    status=0
    TESSEL_ACCESS_BUS=1 GSETTINGS_BACKEND=memory XDG_RUNTIME_DIR=$runtime \
        dbus-run-session -- bash "$0" "$@" 2>/dev/null || status=$?
    rm -rf "$runtime"
    exit "$status"
fi
# shellcheck source-path=SCRIPTDIR source=lib.sh
source "$root/bench/lib.sh"
build=${BUILD:-$root/build}
tessel=$(realpath "${1:-$build/tessel}")
bench_work access_soak
start_xvfb 1920x1080x24 150 /dev/null || exit 1
gdbus call --session --dest org.a11y.Bus --object-path /org/a11y/bus \
    --method org.freedesktop.DBus.Properties.Set org.a11y.Status IsEnabled '<true>' >/dev/null
cp -r "$build/run/tex" "$work/"
(cd "$work" && exec "$tessel" >/dev/null 2>&1) &
program=$!
sleep 3
/usr/bin/python3 "$root/bench/access_soak.py" "$program" "${2:-10}" "${3:-1000}"
