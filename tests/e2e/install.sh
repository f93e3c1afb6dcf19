#!/bin/bash
# The installed program: installed with DESTDIR under a prefix, and started from the menu or a
# terminal in a folder without tex/ and with an empty home, it finds the installed pictures
# (no message box), draws the calculator, and keeps config.cfg in the user's configuration
# folder, which it creates; on a desktop with a session bus it loads its accessibility module
# from the installation's library folder. The installation carries the licence and the changelog, and the
# Debian package made of it says one version everywhere and passes lintian --pedantic with no
# error or warning.
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
doc="$WORK/root/usr/share/doc/tessel"
check "the copyright file is installed" test -f "$doc/copyright"
check "the changelog is installed" test -f "$doc/changelog.gz"
check "the manual page names the installed pictures" \
    zgrep -q '^\.I /usr/share/tessel/tex/$' "$WORK/root/usr/share/man/man1/tessel.1.gz"
check "the manual page has no placeholder left" \
    test -z "$(zgrep -E 'PREFIX|@[A-Z_]+@' "$WORK/root/usr/share/man/man1/tessel.1.gz")"

# The Debian package, made as a packager would (into a folder of the test's own).
(cd "$BUILD" && cpack --config "$BUILD/CPackConfig.cmake" -G DEB -B "$WORK/deb") \
    >"$WORK/cpack.log" 2>&1 || fail "cpack -G DEB (see $WORK/cpack.log)"
deb=$(find "$WORK/deb" -maxdepth 1 -name 'tessel_*.deb' | head -n1)
[ -n "$deb" ] || fail "cpack made a package (see $WORK/cpack.log)"
dpkg-deb -c "$deb" | awk '{print $6}' >"$WORK/deb-files.txt"
check "the package holds the copyright file" grep -qx './usr/share/doc/tessel/copyright' \
    "$WORK/deb-files.txt"
check "the package holds the changelog" grep -qx './usr/share/doc/tessel/changelog.gz' \
    "$WORK/deb-files.txt"
dpkg-deb -x "$deb" "$WORK/deb-root"
check "its copyright file is Debian's format for the MIT (Expat) licence of the developers" \
    grep -q '^Copyright: 2026 The Tessel developers$' "$WORK/deb-root/usr/share/doc/tessel/copyright"

# One version, whoever is asked: the program, the package, the AppStream release, the
# changelog's newest entry and the manual page.
program_version=$("$WORK/deb-root/usr/bin/tessel" --version)
package_version=$(dpkg-deb -f "$deb" Version)
appstream_version=$(grep -o -m1 '<release version="[^"]*"' \
    "$WORK/deb-root/usr/share/metainfo/org.example.tessel.metainfo.xml" | cut -d'"' -f2)
changelog_version=$(zcat "$WORK/deb-root/usr/share/doc/tessel/changelog.gz" | head -n1 |
    sed -n 's/^tessel (\([^)]*\)) .*/\1/p')
manual_version=$(zcat "$WORK/deb-root/usr/share/man/man1/tessel.1.gz" |
    sed -n 's/^\.TH .*"Tessel \([^"]*\)".*/\1/p')
check "the program says 'tessel' and the package's version ($program_version, $package_version)" \
    test "$program_version" = "tessel $package_version"
check "the AppStream release is the package's version ($appstream_version)" \
    test "$appstream_version" = "$package_version"
check "the changelog's newest entry is the package's version ($changelog_version)" \
    test "$changelog_version" = "$package_version"
check "the manual page is of the package's version ($manual_version)" \
    test "$manual_version" = "$package_version"

# What Debian's checker says of the package, pedantic included: no error and no warning.
lintian --pedantic --info "$deb" >"$WORK/lintian.txt" 2>"$WORK/lintian.err" || true
grep -E '^I: ' "$WORK/lintian.txt" || true
check "lintian --pedantic: no error and no warning ($(grep -cE '^[EW]: ' "$WORK/lintian.txt"))" \
    test -z "$(grep -E '^[EW]: ' "$WORK/lintian.txt")"
[ ! -s "$WORK/lintian.txt" ] || cat "$WORK/lintian.txt"
check "lintian ran on the package ($(grep -v 'root privileges' "$WORK/lintian.err" | head -n1))" \
    test -z "$(grep -v 'root privileges' "$WORK/lintian.err")"

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
    if [ "${WITH_BUS:-0}" = 1 ]; then
        # On a desktop with a session bus, the accessibility module is loaded after the first
        # frame, from the installation's own library folder.
        local module tries=0
        module=$(find "$WORK/root/usr/lib" -name tessel-access.so | head -n1)
        [ -n "$module" ] || fail "the accessibility module is installed"
        until grep -q "$module" "/proc/$TESSEL_PID/maps" 2>/dev/null || [ $((tries++)) -ge 50 ]; do
            sleep 0.1
        done
        check "$name: the accessibility module is loaded from $module" \
            grep -q "$module" "/proc/$TESSEL_PID/maps"
    fi
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

mkdir -p "$WORK/home" "$WORK/runtime"
# A session bus's socket where the desktop keeps it (no one answers on it).
/usr/bin/python3 -c 'import socket, sys; socket.socket(socket.AF_UNIX).bind(sys.argv[1])' \
    "$WORK/runtime/bus"
WITH_BUS=1 runs_installed home "$WORK/home/.config/tessel/config.cfg" -u DBUS_SESSION_BUS_ADDRESS \
    HOME="$WORK/home" XDG_CONFIG_HOME= XDG_RUNTIME_DIR="$WORK/runtime"
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
