#!/usr/bin/env bash
# Under a window manager: a move by the window manager is saved like a drag. A screen
# that shrinks under a toolbar brings it back, and one that grows again puts it back at
# its own place. (Where exactly a handle is brought, the unmoveable toolbars and a
# toolbar saved on a monitor that is gone are tested in-process.)
source "$(dirname "$0")/lib.bash"
start_x_wm
d="$TMP/data"
write_cfg "$d/Toolbars.cfg" "$DEFAULT_AT_100" "Right;3000;15000;Right.vtb;;0;0;0;-1;-1;0;0;"
write_vtb "$d/Right.vtb"
start_bar "$d"
right=$(wait_window Right) || fail "Right did not come up"

# The window manager moves a toolbar (as for the user's Alt+drag): taken as its place.
xdotool windowmove "$right" 700 300
at_700() { [ "$(geometry "$right" | cut -d' ' -f1-2)" = "700 300" ]; }
poll at_700 || fail "the window manager did not move Right: $(geometry "$right")"

stop_app
grep -q "^Right;4500;10500;" "$d/Toolbars.cfg" || fail "the window manager's move was not saved: $(cat "$d/Toolbars.cfg")"

# The screen shrinks to 640x480, leaving "Right" (at 700,300) beyond its edge. Xvfb
# knows one mode only: the smaller one is added first.
start_app "$d"
right=$(wait_window Right) || fail "Right did not come up again"
xrandr --newmode 640x480 25.175 640 656 752 800 480 490 492 525 && xrandr --addmode screen 640x480 &&
  xrandr --output screen --mode 640x480 || fail "the screen could not be made smaller (xrandr)"
at_617() { [ "$(geometry "$right" | cut -d' ' -f1-2)" = "617 300" ]; }
poll at_617 || fail "Right was not brought back onto the smaller screen: $(geometry "$right")"
# The screen grows again: the toolbar goes back to its own place.
xrandr --output screen --mode 1280x800
poll at_700 || fail "Right did not go back to its place on the larger screen: $(geometry "$right")"
stop_app
grep -q "^Right;4500;10500;" "$d/Toolbars.cfg" || fail "the user's place of Right was lost: $(cat "$d/Toolbars.cfg")"
echo "off_screen: passed"
