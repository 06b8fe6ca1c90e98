#!/usr/bin/env bash
# A new user's first minutes on a desktop with a window manager (VYRE_E2E_WM, openbox
# unless told): the first start's toolbar comes up where Toolbars.cfg puts it, its menu
# opens at the pointer, starts and ends change no byte of Toolbars.cfg, and the
# names of the buttons and of the handle show while another program has the focus.
# Then the user drags the toolbar by its handle, chooses "&Terminate" from the menu (the
# menu stays open after the click) and finds the new place on disk.
source "$(dirname "$0")/lib.bash"
start_x_wm
d="$TMP/data"
start_bar "$d"
expect_geometry "$BAR" 80 80 28 28

# The handle lies 6 px into the window and is 17 px square; the menu's corner lies
# 13 px into the window, under the pointer at the handle's middle.
before=$(visible_windows)
xdotool mousemove 94 94 click 3
menu_up() { menu=$(new_window "$before"); [ -n "$menu" ]; }
poll menu_up || fail "the menu did not open under $WM"
read -r x y _ < <(geometry "$menu")
near "$x" 93 && near "$y" 93 || fail "the menu opened at $x,$y under $WM; the pointer is at 94,94"
xdotool key Escape
gone() { [ -z "$(new_window "$before")" ]; }
poll gone || fail "the menu did not close"
stop_app
cp "$d/Toolbars.cfg" "$TMP/cfg.first"
grep -q "^Default;1200;1200;" "$TMP/cfg.first" || fail "the first end moved the toolbar: $(cat "$TMP/cfg.first")"

# Starts and ends in a row: nothing moved, so nothing changes (a manager that shifts
# a window by its frame would move it a little on every start).
for n in 1 2; do
  start_bar "$d"
  stop_app
  cmp -s "$TMP/cfg.first" "$d/Toolbars.cfg" || fail "end $n changed Toolbars.cfg: $(cat "$d/Toolbars.cfg")"
done

# Another program holds the focus; pointing at a button or at the handle still tells
# what it is.
write_vtb "$d/Default.vtb" "Mark;/bin/true;;1;;0;"
start_bar "$d"
expect_geometry "$BAR" 80 80 60 28
start_source
other=$SOURCE_WIN
xdotool windowactivate "$other" 2>/dev/null || true
other_active() { [ "$(xdotool getactivewindow 2>/dev/null)" = "$other" ]; }
poll other_active || fail "the other program did not take the focus under $WM"
before=$(visible_windows)
# Qt keeps one tooltip window: the last one is waited out before the next hover.
tooltip_over() {
  local x=$1 y=$2
  xdotool mousemove 640 600
  poll gone || fail "the last tooltip stayed"
  before=$(visible_windows)
  # Onto it, then a pixel further: a move within the window, where Qt starts the
  # tooltip's timer.
  xdotool mousemove "$x" "$y" mousemove "$((x + 1))" "$y"
  tip() { tip=$(new_window "$before"); [ -n "$tip" ]; }
  poll tip
}
tooltip_over 125 94 || fail "no tooltip over the button while another program has the focus ($WM)"
other_active || fail "the tooltip took the focus from the other program"
tooltip_over 94 94 || fail "no tooltip over the handle while another program has the focus ($WM)"

# The handle lies 6 px inside the window at 80,80; drag it 30 px right, 15 px down.
xdotool mousemove 86 86 mousedown 1 mousemove 100 92 mousemove 116 101 mouseup 1
dragged() { [ "$(geometry "$BAR" | cut -d' ' -f1-2)" = "110 95" ]; }
poll dragged || fail "the toolbar did not follow the drag under $WM: $(geometry "$BAR")"
# A plain right click: the menu must stay up after the button is let go, so the key
# that follows picks "&Terminate".
before=$(visible_windows)
xdotool mousemove 116 101 click 3
poll menu_up || fail "the menu did not open after the drag"
xdotool key t
poll app_gone || fail "choosing Terminate did not end the launcher"
APP_PID=""
grep -q "^Default;1425;1650;" "$d/Toolbars.cfg" || fail "the moved position was not saved: $(cat "$d/Toolbars.cfg")"
echo "desktop_places ($WM): passed"
