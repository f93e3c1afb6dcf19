#!/bin/bash
# Typing under the keyboard layouts people use: the character a key types decides what it
# does, so the same calculations typed with xdotool give the same results under the US,
# German, French and Russian layouts; so do the keypad (its decimal key included) and the
# Ctrl shortcuts, which follow the letter the layout puts on a key, or on a layout without
# Latin letters the key's place on a US keyboard. Results are read back with Ctrl+C.
# Arguments: TESSEL-BINARY SOURCE-TEX-FOLDER HELPER-FOLDER
# shellcheck source-path=SCRIPTDIR source=lib.sh
source "$(dirname "$0")/lib.sh"
start_display

# copied LAYOUT: Ctrl+C, then what the clipboard holds.
copied() {
    xdotool key "$(ctrl_key "$1" c)"
    sleep 0.2
    timeout 5 xclip -o -selection clipboard 2>/dev/null || true
}

# ctrl_key LAYOUT LETTER: the key chord a user of the layout presses for Ctrl+LETTER. On the
# Russian layout that is the Cyrillic key at the letter's US place.
ctrl_key() {
    if [ "$1" = ru ]; then
        case $2 in
        c) echo ctrl+Cyrillic_es ;;
        v) echo ctrl+Cyrillic_em ;;
        p) echo ctrl+Cyrillic_ze ;;
        r) echo ctrl+Cyrillic_ka ;;
        esac
    else
        echo "ctrl+$2"
    fi
}

# calculates LAYOUT TYPED EXPECTED: C, the text typed, and the display copied.
calculates() {
    local got
    xdotool key Escape
    xdotool type --delay 60 "$2"
    got=$(copied "$1")
    check "$1: typing '$2' shows $3 (got '$got')" test "$got" = "$3"
}

# on_keypad LAYOUT EXPECTED KEYS...: C, the keys pressed, and the display copied.
on_keypad() {
    local layout=$1 expected=$2 got
    shift 2
    xdotool key Escape
    xdotool key --delay 60 "$@"
    got=$(copied "$layout")
    check "$layout: the keypad's $* shows $expected (got '$got')" test "$got" = "$expected"
}

for layout in us de fr ru; do
    setxkbmap "$layout"
    dir=$(new_dir "$layout")
    launch "$dir"
    wid=$(wait_window)
    focus "$wid"
    xdotool mousemove 5 5
    sleep 0.5

    calculates "$layout" '12+3=' 15
    calculates "$layout" '7*6=' 42
    calculates "$layout" '9/4=' 2,25
    calculates "$layout" '5-8=' -3
    calculates "$layout" '1,5+1,5=' 3
    calculates "$layout" '1.5+1.5=' 3
    calculates "$layout" '2+2==' 6

    # The keypad's decimal key is a separator on the German keypad and a point elsewhere.
    decimal=KP_Decimal
    [ "$layout" = de ] && decimal=KP_Separator
    on_keypad "$layout" 15,5 KP_1 KP_2 KP_Add KP_3 "$decimal" KP_5 KP_Enter
    on_keypad "$layout" 7 KP_9 KP_Multiply KP_2 KP_Subtract KP_4 KP_Divide KP_2 KP_Enter
    # With Num Lock off the keypad's digits are navigation keys and enter nothing.
    "$HELPERS/numlock" off
    on_keypad "$layout" 0 KP_End KP_Down KP_Delete
    "$HELPERS/numlock" on

    # Memory through the layout's Ctrl+P and Ctrl+R, pasting through its Ctrl+V.
    xdotool key Escape
    xdotool type '7'
    xdotool key "$(ctrl_key "$layout" p)" Escape "$(ctrl_key "$layout" r)"
    got=$(copied "$layout")
    check "$layout: Ctrl+P then Ctrl+R recalls 7 (got '$got')" test "$got" = 7
    printf '4,5' | xclip -i -selection clipboard
    xdotool key Escape "$(ctrl_key "$layout" v)"
    xdotool type '*2='
    got=$(copied "$layout")
    check "$layout: Ctrl+V pastes 4,5 (4,5*2 gives '$got')" test "$got" = 9

    close_tessel "$layout"
done
finish
