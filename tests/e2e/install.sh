#!/bin/bash
# The installed program: installed with DESTDIR under a prefix, and started from the menu or a
# terminal in a folder without tex/ and with an empty home, it finds the installed pictures
# (no message box), draws the calculator, and keeps config.cfg in the user's configuration
# folder, which it creates.
# Arguments: TESSEL-BINARY SOURCE-TEX-FOLDER HELPER-FOLDER (the build folder holds the binary)
# shellcheck source-path=SCRIPTDIR source=lib.sh
source "$(dirname "$0")/lib.sh"
BUILD=$(dirname "$TESSEL")
start_display

DESTDIR="$WORK/root" cmake --install "$BUILD" --prefix /usr >"$WORK/install.log" ||
    fail "cmake --install with DESTDIR (see $WORK/install.log)"
installed="$WORK/root/usr/bin/tessel"
check "the program is installed" test -x "$installed"
check "its pictures are installed" test -f "$WORK/root/usr/share/tessel/tex/Card.jpg"
check "the desktop entry is installed" test -f "$WORK/root/usr/share/applications/tessel.desktop"
check "the icon is installed" test -f "$WORK/root/usr/share/icons/hicolor/48x48/apps/tessel.png"
check "the manual page is installed" test -f "$WORK/root/usr/share/man/man1/tessel.1.gz"

# runs_installed NAME CONFIG-FILE VAR=VALUE...: starts the installed program in an empty folder
# (with TEX_HERE=1, one holding a tex/ folder of the user's own) with the environment given;
# checks the window, the picture and where config.cfg went.
runs_installed() {
    local name=$1 config=$2
    shift 2
    local cwd="$WORK/$name-cwd"
    mkdir -p "$cwd"
    if [ "${TEX_HERE:-0}" = 1 ]; then
        mkdir -p "$cwd/tex"
        echo '\documentclass{article}' >"$cwd/tex/notes.tex"
    fi
    TESSEL="$installed" launch "$cwd" "$@"
    wait_window >/dev/null
    redraw "$WORK/$name.png"
    check "$name: no message box" test -z "$(message_boxes)"
    check "$name: nothing reported on standard error" test ! -s "$cwd/stderr.log"
    check "$name: the calculator is drawn" \
        test "$(pixel "$WORK/$name.png" $((W / 2)) $((H / 2)))" != "255 255 255"
    check "$name: on the default white background" \
        test "$(pixel "$WORK/$name.png" 5 5)" = "255 255 255"
    check "$name: config.cfg is written to $config" test -f "$config"
    check "$name: with the 21 lines of the defaults" test "$(wc -l <"$config")" -eq 21
    check "$name: nothing is written to the working folder" \
        test -z "$(ls "$cwd" | grep -v '\.log$' | grep -vx tex)"
    close_tessel "$name"
}

# runs_without_config NAME ENV-ARGUMENTS...: with no folder to keep config.cfg in, the installed
# program says so in one line, runs with the defaults and writes nothing.
runs_without_config() {
    local name=$1
    shift
    local cwd="$WORK/$name-cwd"
    mkdir -p "$cwd"
    TESSEL="$installed" launch "$cwd" "$@"
    wait_window >/dev/null
    redraw "$WORK/$name.png"
    check "$name: no message box" test -z "$(message_boxes)"
    check "$name: the calculator is drawn" \
        test "$(pixel "$WORK/$name.png" $((W / 2)) $((H / 2)))" != "255 255 255"
    check "$name: one line on standard error says why ($(cat "$cwd/stderr.log"))" \
        test "$(grep -c 'config.cfg' "$cwd/stderr.log")" -eq 1
    check "$name: nothing is written to the working folder" \
        test -z "$(ls "$cwd" | grep -v '\.log$')"
    close_tessel "$name"
}

mkdir -p "$WORK/home"
runs_installed home "$WORK/home/.config/tessel/config.cfg" HOME="$WORK/home" XDG_CONFIG_HOME=
check "home: the configuration folder is the user's alone" \
    test "$(stat -c %a "$WORK/home/.config/tessel")" = 700
mkdir -p "$WORK/home2"
runs_installed xdg "$WORK/xdg/tessel/config.cfg" HOME="$WORK/home2" XDG_CONFIG_HOME="$WORK/xdg"
check "xdg: nothing went to ~/.config" test ! -e "$WORK/home2/.config"
# Started from the menu in a home folder holding a tex/ of the user's own (as every LaTeX
# user's does): the installed pictures all the same, and config.cfg where it belongs.
mkdir -p "$WORK/home3"
TEX_HERE=1 runs_installed tex-here "$WORK/home3/.config/tessel/config.cfg" HOME="$WORK/home3" \
    XDG_CONFIG_HOME=
check "tex-here: the user's tex/ is left as it was" test "$(ls "$WORK/tex-here-cwd/tex")" = notes.tex
runs_without_config no-home -u HOME -u XDG_CONFIG_HOME
touch "$WORK/a-file"
runs_without_config xdg-file HOME="$WORK/home" XDG_CONFIG_HOME="$WORK/a-file"
ln -s "$WORK/nowhere" "$WORK/dangling"
runs_without_config xdg-dangling HOME="$WORK/home" XDG_CONFIG_HOME="$WORK/dangling"
finish
