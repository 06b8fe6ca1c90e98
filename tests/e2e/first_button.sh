#!/usr/bin/env bash
# A new user's first button: from an empty folder, a double click on the handle opens
# the configuration window, "Add" opens the button editor, the program's path typed in
# the target box names the button, OK saves it, the toolbar grows by a button and a
# click on that button starts the program. Under a window manager (VYRE_E2E_WM, openbox
# unless told), as a new user has it; the toolbar stays where it stood throughout.
source "$(dirname "$0")/lib.bash"
start_x_wm
d="$TMP/data"
mkdir -p "$d"
printf '#!/bin/sh\ntouch "%s/started.mark"\n' "$d" > "$d/mark.sh"
chmod +x "$d/mark.sh"
start_app "$d"
id=$(wait_window Default) || fail "the Default toolbar did not come up"
expect_geometry "$id" 80 80 28 28

# The handle lies 90 twips (6 px) into the window and is 17 px square.
open_config 94 94
# "&Add" is the toolbar's and the button's command: the first Alt+A reaches the one,
# the second the other, and Space presses it.
xdotool key alt+a
xdotool key alt+a
xdotool key space
editor=$(wait_window "Add Button") || fail "the button editor did not open"
point_into "$editor"
# The name box has the keyboard; the target box is next. Leaving it names the button.
xdotool key Tab
xdotool type --delay 10 "$d/mark.sh"
xdotool key Tab Return
wait_gone "Add Button" || fail "OK did not close the editor"

crlf "$VTB_HEADER" "mark;$d/mark.sh;;1;$d/mark.sh;1;" > "$TMP/vtb.expected"
cmp "$TMP/vtb.expected" "$d/Default.vtb" || { cat -A "$d/Default.vtb"; fail "Default.vtb does not hold the new button"; }
# The window takes the width of its fixed buttons, the new 23 px button and its frame,
# and stays where it stood.
grown() { [ "$(geometry "$id" | cut -d' ' -f3)" = 60 ]; }
poll grown || fail "the toolbar did not grow by its new button"
expect_geometry "$id" 80 80 60 28

# The new button is the first after the fixed ones: 470 + 45 twips = 34 px in.
xdotool mousemove $((80 + 34 + 11)) 94 click 1
poll test -e "$d/started.mark" || fail "the new button did not start its program"
stop_app
grep -q "^Default;1200;1200;" "$d/Toolbars.cfg" || fail "the toolbar's place changed: $(cat "$d/Toolbars.cfg")"
echo "first_button: passed"
