#!/usr/bin/env bash
# Moving a button down with the position bar: each step rewrites the toolbar file in the
# new order, and the keyboard stays on the bar, so the arrow keys go on moving it. Then
# dragging buttons along the toolbar itself.
source "$(dirname "$0")/lib.bash"
start_x
start_wm
d="$TMP/data"
mkdir -p "$d"
crlf "Quorrelind's Vyrelight Toolbars v2_[A1]" "Default;1200;1200;;;0;0;0;-1;-1;0;0;" > "$d/Toolbars.cfg"
crlf "Quorrelind's Vyrelight Toolbar v2_[A1]" "A;/bin/a;;1;;0;" "B;/bin/b;;1;;0;" "C;/bin/c;;1;;0;" \
     "D;/bin/d;;1;;0;" > "$d/Default.vtb"
start_app "$d"
wait_window Default >/dev/null || fail "the Default toolbar did not come up"
open_config 94 94
# The list comes after the toolbar commands: the toolbar list's "&Add" then Tab, Tab
# (the toolbar "&Del" is off for the default toolbar) reach it with A selected.
xdotool key alt+a Tab Tab Down
# B is selected; to the bar: the button commands "&Add", "&Edit", "&Del" lie between.
xdotool key Tab Tab Tab Tab
xdotool key Down
expect_order() {
  crlf "Quorrelind's Vyrelight Toolbar v2_[A1]" "$@" > "$TMP/vtb.expected"
  for _ in $(seq 30); do cmp -s "$TMP/vtb.expected" "$d/Default.vtb" && return 0; sleep 0.1; done
  cat -A "$d/Default.vtb" >&2
  fail "Default.vtb is not in the order $*"
}
expect_order "A;/bin/a;;1;;0;" "C;/bin/c;;1;;0;" "B;/bin/b;;1;;0;" "D;/bin/d;;1;;0;"
xdotool key Down
expect_order "A;/bin/a;;1;;0;" "C;/bin/c;;1;;0;" "D;/bin/d;;1;;0;" "B;/bin/b;;1;;0;"
# The last place: a further step moves nothing.
xdotool key Down
sleep 0.3
expect_order "A;/bin/a;;1;;0;" "C;/bin/c;;1;;0;" "D;/bin/d;;1;;0;" "B;/bin/b;;1;;0;"
# On the toolbar itself a button dragged along the bar goes where it is let go; Escape
# on the way cancels a drag. Buttons are 23 pixels wide after 31 under the handle.
read -r x y _ _ < <(geometry "$(wait_window Default)")
bx=$((x + 3 + 31 + 11)) by=$((y + 14))
drag_button() { # from to [escape]: button places, counted from 0
  xdotool mousemove $((bx + $1 * 23)) $by mousedown 1
  local step=$(( $2 > $1 ? 5 : -5 )) px
  for px in $(seq $(( $1 * 23 )) $step $(( $2 * 23 ))); do xdotool mousemove $((bx + px)) $by; done
  [ "${3:-}" = escape ] && xdotool key Escape
  xdotool mouseup 1
}
drag_button 0 2
expect_order "C;/bin/c;;1;;0;" "D;/bin/d;;1;;0;" "A;/bin/a;;1;;0;" "B;/bin/b;;1;;0;"
drag_button 3 0 escape
drag_button 2 1
expect_order "C;/bin/c;;1;;0;" "A;/bin/a;;1;;0;" "D;/bin/d;;1;;0;" "B;/bin/b;;1;;0;"
stop_app
echo "move_button: passed"
