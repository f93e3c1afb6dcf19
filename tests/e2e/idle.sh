#!/bin/bash
# Idle: with nothing happening the calculator draws nothing and uses (almost) no CPU.
# Arguments: TESSEL-BINARY SOURCE-TEX-FOLDER HELPER-FOLDER
# shellcheck source-path=SCRIPTDIR source=lib.sh
source "$(dirname "$0")/lib.sh"
readonly SECONDS_IDLE=10
readonly LIMIT_PERCENT=2
start_display

# cpu_ticks: the calculator's user + system time so far, in clock ticks, all threads.
cpu_ticks() {
    # Fields after the ")" that ends the command name: utime and stime are the 12th and 13th.
    sed 's/.*) //' "/proc/$TESSEL_PID/stat" | awk '{print $12 + $13}'
}

dir=$(new_dir idle)
launch "$dir"
wid=$(wait_window)
focus "$wid"
xdotool mousemove 5 5
sleep 2
shot "$WORK/before.png"
start=$(cpu_ticks)
sleep "$SECONDS_IDLE"
end=$(cpu_ticks)
shot "$WORK/after.png"
percent=$(awk -v t="$((end - start))" -v hz="$(getconf CLK_TCK)" -v s="$SECONDS_IDLE" \
    'BEGIN { printf "%.2f", 100 * t / hz / s }')
check "the CPU-time reading works (start-up took $start ticks)" test "$start" -gt 0
echo "idle CPU: $((end - start)) ticks in $SECONDS_IDLE s = $percent% of one core"
check "idle CPU use is under $LIMIT_PERCENT% of one core ($percent%)" \
    awk -v p="$percent" -v l="$LIMIT_PERCENT" 'BEGIN { exit !(p < l) }'
check "the picture does not change while idle" same "$WORK/before.png" "$WORK/after.png"
check "the calculator is still running after idling" running
close_tessel idle
finish
