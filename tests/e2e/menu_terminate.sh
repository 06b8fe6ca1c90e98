#!/usr/bin/env bash
# A user's session under a window manager: drag a toolbar by its handle, right-click
# the handle, choose "&Terminate" from the menu (the menu stays open after the click),
# and find the new place on disk.
source "$(dirname "$0")/lib.bash"
start_x_wm
d="$TMP/data"
write_cfg "$d/Toolbars.cfg" "$DEFAULT_AT_100"
start_app "$d"
id=$(wait_window Default) || fail "Default did not come up"

# The handle lies 3 px inside the window at 100,100; drag it 30 px right, 15 px down.
xdotool mousemove 106 106 mousedown 1 mousemove 120 112 mousemove 136 121 mouseup 1
dragged() { [ "$(geometry "$id" | cut -d' ' -f1-2)" = "130 115" ]; }
poll dragged || fail "the toolbar did not follow the drag: $(geometry "$id")"
# A plain right click: the menu must stay up after the button is let go, so the key
# that follows picks "&Terminate".
before=$(visible_windows)
xdotool mousemove 136 121 click 3
menu_up() { [ -n "$(new_window "$before")" ]; }
poll menu_up || fail "the menu did not open"
xdotool key t
poll app_gone || fail "choosing Terminate did not end the launcher"
APP_PID=""
grep -q "^Default;1725;1950;" "$d/Toolbars.cfg" || { cat "$d/Toolbars.cfg"; fail "the moved position was not saved"; }
echo "menu_terminate: passed"
