#!/usr/bin/env bash
# A user's session: drag a toolbar, right-click its handle, choose "&Terminate" from
# the menu (the menu stays open after the click), and find the new place on disk.
source "$(dirname "$0")/lib.bash"
start_x
start_wm
d="$TMP/data"
mkdir -p "$d"
printf "Quorrelind's Vyrelight Toolbars v2_[A1]\r\nDefault;1500;1500;;;0;0;0;-1;-1;0;0;\r\n" > "$d/Toolbars.cfg"
start_app "$d"
wait_window Default >/dev/null || fail "Default did not come up"

# The handle lies 3 px inside the window at 100,100; drag it 30 px right, 15 px down.
id=$(wait_window Default) || fail "Default is gone"
xdotool mousemove 106 106 mousedown 1 mousemove 120 112 mousemove 136 121 mouseup 1
dragged() { [ "$(geometry "$id" | cut -d' ' -f1-2)" = "130 115" ]; }
poll dragged || fail "the toolbar did not follow the drag: $(geometry "$id")"
# A plain right click: the menu must stay up after the button is let go, so the key
# that follows picks "&Terminate".
before=$(xdotool search --onlyvisible --classname vyrelight | sort)
xdotool mousemove 136 121 click 3
menu_up() { [ -n "$(comm -13 <(echo "$before") <(xdotool search --onlyvisible --classname vyrelight | sort))" ]; }
poll menu_up || fail "the menu did not open"
xdotool key t
ended() { ! kill -0 "$APP_PID" 2>/dev/null; }
poll ended || fail "choosing Terminate did not end the launcher"
APP_PID=""
grep -q "^Default;1725;1950;" "$d/Toolbars.cfg" || { cat "$d/Toolbars.cfg"; fail "the moved position was not saved"; }
echo "menu_terminate: passed"
