#!/bin/bash
# Start-up of the calculator as a user sees it, against the two floors of its stack: an SDL2
# program that opens a plain window (the window floor) and one that opens an OpenGL window and
# clears it once (the GL floor). For each program, from exec: the first window mapped, the main
# window mapped, and the first complete frame seen on the screen (the window's contents equal
# its settled picture; startup_watch reads them back after every change), and peak RSS.
# Interleaved runs after a warm-up that also records each program's settled picture; medians
# with min..max, and the ratios of Tessel to the floors taken run by run. Then the same with an
# empty Mesa shader cache for the GL programs (the first start after installing), and once more
# for Tessel with the empty cache first filled by tools/warm_shaders, as scripts/run does.
# Usage: bench/startup.sh [TESSEL [OTHER-TESSEL]]   (default: build/tessel; a second binary,
#        an earlier build say, is measured alongside). RUNS=N sets the runs (default 8).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
# shellcheck source-path=SCRIPTDIR source=lib.sh
source "$root/bench/lib.sh"
build=${BUILD:-$root/build}
tessel=$(realpath "${1:-$build/tessel}")
other=${2:+$(realpath "$2")}
tex=$build/run/tex
runs=${RUNS:-8}
watch=$build/bench/startup_watch
bench_work startup

start_xvfb 1920x1080x24 150 /dev/null || exit 1

# The programs: a label, the window name, the working directory and the command.
labels=(tessel)
declare -A name dir command
name[tessel]=Tessel
command[tessel]=$tessel
if [ -n "$other" ]; then
    labels+=(other)
    name[other]=Tessel
    command[other]=$other
fi
labels+=(gl-floor window-floor)
name[gl-floor]=floor
command[gl-floor]=$build/bench/floor_gl
name[window-floor]=floor
command[window-floor]=$build/bench/floor_window
for label in "${labels[@]}"; do
    dir[$label]=$work/$label
    mkdir -p "${dir[$label]}"
    cp -r "$tex" "${dir[$label]}/tex"
done
mkdir -p "$work/cache"

# run LABEL CACHE-DIR: one start; appends "first main complete rss" to $work/LABEL.CACHE-KIND.
run() {
    local label=$1 cache=$2 kind=$3 line
    xdotool mousemove 0 0
    line=$(cd "${dir[$label]}" && MESA_SHADER_CACHE_DIR=$cache "$watch" "${name[$label]}" \
        "$work/$label.reference" 20000 -- "${command[$label]}" 2>/dev/null) || {
        echo "$label: no complete frame within 20 s ($line)" >&2
        exit 1
    }
    echo "$line" >>"$work/$label.$kind"
}

# stats FILE COLUMN: "median (min..max)" of a column.
stats() {
    cut -d' ' -f"$2" "$1" | sort -n |
        awk '{ v[NR] = $1 } END { m = (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2
              printf "%7.1f (%.1f..%.1f)", m, v[1], v[NR] }'
}

# ratio FILE-A COLUMN-A FILE-B COLUMN-B: median of the run-by-run ratios A / B.
ratio() {
    paste -d' ' <(cut -d' ' -f"$2" "$1") <(cut -d' ' -f"$4" "$3") |
        awk '{ print $1 / $2 }' | sort -n |
        awk '{ v[NR] = $1 } END { printf "%.2f", (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}

report() {
    local kind=$1 label
    printf '%-13s %-22s %-22s %-22s %s\n' program "first window ms" "main window ms" \
        "complete frame ms" "peak RSS MiB"
    for label in "${labels[@]}"; do
        [ -s "$work/$label.$kind" ] || continue
        printf '%-13s %-22s %-22s %-22s %s\n' "$label" "$(stats "$work/$label.$kind" 1)" \
            "$(stats "$work/$label.$kind" 2)" "$(stats "$work/$label.$kind" 3)" \
            "$(stats "$work/$label.$kind" 4)"
    done
    for label in tessel ${other:+other}; do
        [ -s "$work/window-floor.$kind" ] &&
            echo "$label / window floor, first window: $(ratio "$work/$label.$kind" 1 "$work/window-floor.$kind" 1)"
        echo "$label / GL floor, complete frame: $(ratio "$work/$label.$kind" 3 "$work/gl-floor.$kind" 3)"
        echo "$label - GL floor, peak RSS: $(paste -d' ' <(cut -d' ' -f4 "$work/$label.$kind") \
            <(cut -d' ' -f4 "$work/gl-floor.$kind") | awk '{ print $1 - $2 }' | sort -n |
            awk '{ v[NR] = $1 } END { printf "%.1f MiB", v[int((NR + 1) / 2)] }')"
    done
}

# order ROUND: the programs in the order of that round. A program starts a few milliseconds
# slower right after the plain window than after another program, whatever it is: the rounds
# follow a balanced Latin square, in which every program comes right after every other one
# equally often (exactly so when RUNS is a multiple of the programs' number, twice that number
# for an odd one).
order() {
    local n=${#labels[@]} i lo=1 hi=$((${#labels[@]} - 1)) rows k
    local -a first=(0) row=()
    for ((i = 1; i < n; i++)); do
        if ((i % 2)); then first+=($((lo++))); else first+=($((hi--))); fi
    done
    rows=$((n % 2 ? 2 * n : n))
    k=$(($1 % rows))
    for ((i = 0; i < n; i++)); do row+=("${labels[(first[i] + k) % n]}"); done
    if ((k >= n)); then
        for ((i = n - 1; i >= 0; i--)); do echo "${row[i]}"; done
    else
        printf '%s\n' "${row[@]}"
    fi
}

echo "warm-up (records each program's settled picture)"
for label in "${labels[@]}"; do run "$label" "$work/cache" warmup; done
rm -f "$work"/*.warmup

echo "== warm shader cache, $runs runs each, interleaved, Xvfb 1920x1080"
for round in $(seq "$runs"); do
    for label in $(order "$round"); do run "$label" "$work/cache" warm; done
done
report warm

echo "== empty shader cache (a new one for every start), $runs runs each, interleaved"
for round in $(seq "$runs"); do
    for label in $(order "$round"); do
        [ "$label" = window-floor ] && continue
        empty=$(mktemp -d "$work/empty-cache.XXXXXX")
        run "$label" "$empty" empty
        rm -rf "$empty"
    done
done
report empty

echo "== empty shader cache filled by warm_shaders first (the first start by scripts/run)"
for _ in $(seq "$runs"); do
    empty=$(mktemp -d "$work/empty-cache.XXXXXX")
    MESA_SHADER_CACHE_DIR=$empty "$build/tools/warm_shaders" "${dir[tessel]}" >/dev/null 2>&1
    run tessel "$empty" warmed
    rm -rf "$empty"
done
printf '%-13s %-22s %-22s %-22s %s\n' program "first window ms" "main window ms" \
    "complete frame ms" "peak RSS MiB"
printf '%-13s %-22s %-22s %-22s %s\n' tessel "$(stats "$work/tessel.warmed" 1)" \
    "$(stats "$work/tessel.warmed" 2)" "$(stats "$work/tessel.warmed" 3)" \
    "$(stats "$work/tessel.warmed" 4)"
