#!/bin/bash
# The command line without a display: --version and --help (and -h) answer on standard output
# with status 0, write nothing else and create no file, in the working folder or the home;
# any other argument is ignored, so that the calculator itself is started (and, with no
# display, says so).
# Arguments: TESSEL-BINARY SOURCE-TEX-FOLDER HELPER-FOLDER
# shellcheck source-path=SCRIPTDIR source=lib.sh
source "$(dirname "$0")/lib.sh"

cwd="$WORK/cwd"
home="$WORK/home"
mkdir -p "$cwd" "$home"

# answer NAME ARGUMENTS...: runs the program in the empty folder without a display; sets
# STATUS, and OUT and ERR to its output.
answer() {
    local name=$1
    shift
    STATUS=0
    (cd "$cwd" && exec env -u DISPLAY -u WAYLAND_DISPLAY -u XDG_CONFIG_HOME HOME="$home" \
        "$TESSEL" "$@" >"$WORK/$name.out" 2>"$WORK/$name.err") || STATUS=$?
    OUT=$(cat "$WORK/$name.out")
    ERR=$(cat "$WORK/$name.err")
}

nothing_created() {
    test -z "$(find "$cwd" "$home" -mindepth 1 -print -quit)"
}

answer version --version
check "--version: status 0 (got $STATUS)" test "$STATUS" -eq 0
check "--version: prints 'tessel VERSION' ($OUT)" \
    grep -Eqx 'tessel [0-9]+\.[0-9]+\.[0-9]+' "$WORK/version.out"
check "--version: one line" test "$(wc -l <"$WORK/version.out")" -eq 1
check "--version: nothing on standard error ($ERR)" test -z "$ERR"
check "--version: no file is created" nothing_created

for option in --help -h; do
    answer help "$option"
    check "$option: status 0 (got $STATUS)" test "$STATUS" -eq 0
    check "$option: begins with the usage" test "$(head -n1 "$WORK/help.out")" = \
        "Usage: tessel [--help | --version]"
    # shellcheck disable=SC2088 # the help names the folder with a tilde, as a user writes it
    check "$option: says where config.cfg is kept" grep -q '~/.config/tessel/' "$WORK/help.out"
    check "$option: says where the pictures are" grep -q 'share/tessel/tex' "$WORK/help.out"
    check "$option: points to the manual page" grep -q 'man tessel' "$WORK/help.out"
    check "$option: nothing on standard error ($ERR)" test -z "$ERR"
    check "$option: no file is created" nothing_created
done

# Among other arguments, the first request is answered.
answer mixed one --version two --help
check "mixed: the first request, --version, is answered (status $STATUS)" \
    test "$STATUS" -eq 0 -a "${OUT%% *}" = tessel
check "mixed: no file is created" nothing_created

# A standard output that was closed is opened on /dev/null: the answer is lost, not an error.
STATUS=0
(cd "$cwd" && exec env -u DISPLAY HOME="$home" "$TESSEL" --version >&- 2>"$WORK/closed.err") ||
    STATUS=$?
check "closed stdout: status 0 (got $STATUS)" test "$STATUS" -eq 0
check "closed stdout: nothing on standard error" test ! -s "$WORK/closed.err"

# An answer that cannot be written (a full disk) is an error, and says so.
STATUS=0
(cd "$cwd" && exec env -u DISPLAY HOME="$home" "$TESSEL" --help >/dev/full 2>"$WORK/full.err") ||
    STATUS=$?
check "full disk: status 1 (got $STATUS)" test "$STATUS" -eq 1
check "full disk: one line on standard error ($(cat "$WORK/full.err"))" \
    grep -q "^tessel: can't write to standard output" "$WORK/full.err"

# Any other argument is ignored: the calculator starts, and without a display says so.
answer other --verbose file.txt
check "other arguments: the calculator starts and finds no display (status $STATUS)" \
    test "$STATUS" -eq 1
check "other arguments: it says there is no display" \
    grep -q "^tessel: Can't open a display" "$WORK/other.err"
check "other arguments: nothing on standard output" test -z "$OUT"
finish
