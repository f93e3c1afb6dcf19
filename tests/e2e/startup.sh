#!/bin/bash
# Start-up of the calculator in a fresh working directory: the window, the written
# configuration, the background colour from the configuration, and an orderly close.
# Arguments: TESSEL-BINARY SOURCE-TEX-FOLDER HELPER-FOLDER
# shellcheck source-path=SCRIPTDIR source=lib.sh
source "$(dirname "$0")/lib.sh"
start_display

# First start: no config.cfg, so the defaults are written and used (white background).
dir=$(new_dir first)
launch "$dir"
wait_window >/dev/null
settle "$WORK/first.png"
check "config.cfg is written on the first start" test -f "$dir/config.cfg"
check "config.cfg has 21 lines" test "$(wc -l <"$dir/config.cfg")" -eq 21
check "config.cfg sets the background to white" \
    grep -qxF -e BACKGROUNDCOLOR_R=255 "$dir/config.cfg"
check "the default background is white (pixel 5,5 is $(pixel "$WORK/first.png" 5 5))" \
    test "$(pixel "$WORK/first.png" 5 5)" = "255 255 255"
check "the calculator is drawn in the middle of the screen" \
    test "$(pixel "$WORK/first.png" $((W / 2)) $((H / 2)))" != "255 255 255"
check "no message box during a normal start" test -z "$(message_boxes)"
close_tessel "white start"

# Second start: a configuration asking for a blue background.
dir=$(new_dir blue)
printf 'BACKGROUNDCOLOR_R=0\nBACKGROUNDCOLOR_G=0\nBACKGROUNDCOLOR_B=255\n' >"$dir/config.cfg"
cp "$dir/config.cfg" "$WORK/blue.cfg"
launch "$dir"
wait_window >/dev/null
settle "$WORK/blue.png"
for corner in "5 5" "$((W - 6)) 5" "5 $((H - 6))" "$((W - 6)) $((H - 6))"; do
    # shellcheck disable=SC2086 # the corner is two words on purpose
    check "the background is pure blue at $corner" \
        test "$(pixel "$WORK/blue.png" $corner)" = "0 0 255"
done
centre=$(pixel "$WORK/blue.png" $((W / 2)) $((H / 2)))
check "the centre of the screen is not background ($centre)" test "$centre" != "0 0 255"
check "an existing config.cfg is left as it was" cmp -s "$dir/config.cfg" "$WORK/blue.cfg"
close_tessel "blue start"
finish
