#!/usr/bin/env bash
# Under a window manager the toolbars and the editors stay out of the task bar and the
# pager, while the configuration window, which a second start brings up, stays in it;
# an editor is offered a close box but no maximise box: read from the states and
# allowed actions the manager keeps. The program's icon, which comes once the start is
# over, reaches the toolbar made before it and the windows made after.
source "$(dirname "$0")/lib.bash"
start_x_wm
d="$TMP/data"
start_bar "$d"

# The state may be asked for once the window is on screen: polled for.
has_state() { xprop -id "$1" _NET_WM_STATE 2>/dev/null | grep -q "_NET_WM_STATE_$2"; }
wait_state() { WAIT_TENTHS=50 poll has_state "$1" "$2"; }

wait_state "$BAR" SKIP_TASKBAR || fail "the toolbar is in the task bar: $(xprop -id "$BAR" _NET_WM_STATE)"
wait_state "$BAR" SKIP_PAGER || fail "the toolbar is in the pager"
# The program's own icon is 32 pixels; openbox puts one of its own (48) on a window
# that has none.
has_icon() { xprop -id "$1" _NET_WM_ICON 2>/dev/null | grep -q "Icon (32 x 32)"; }
WAIT_TENTHS=100 poll has_icon "$BAR" || fail "the toolbar never got the program's icon"

shown_none "Vyrelight Toolbar v2" || fail "a configuration window before asking"
timeout 20 "$d/vyrelight" > "$TMP/second.log" 2>&1 || fail "the second start ended with status $?: $(cat "$TMP/second.log")"
CFG=$(wait_window "Vyrelight Toolbar v2") || fail "the second start did not bring up the configuration window"
kill -0 "$APP_PID" || fail "the first launcher is gone"
has_state "$CFG" SKIP_TASKBAR && fail "the configuration window left the task bar"

# Twice: each editor is a new window, and a window manager forgets the state of a
# window it no longer shows.
for round in 1 2; do
  read -r x y _ _ < <(geometry "$CFG")
  xdotool mousemove $((x + 269)) $((y + 107)) click 1 # the buttons' "Add"
  ED=$(wait_window "Add Button") || fail "round $round: the button editor did not open"
  wait_state "$ED" SKIP_TASKBAR || fail "round $round: the button editor is in the task bar"
  WAIT_TENTHS=20 poll has_icon "$ED" || fail "round $round: the button editor has no icon"
  actions=$(xprop -id "$ED" _NET_WM_ALLOWED_ACTIONS)
  case "$actions" in *CLOSE*) ;; *) fail "the button editor cannot be closed: $actions" ;; esac
  case "$actions" in *MAXIMIZE*|*RESIZE*) fail "the button editor can grow: $actions" ;; esac
  xdotool key Escape
  wait_gone "Add Button" || fail "round $round: Escape did not close the editor"
done
stop_app
echo "window_kinds: passed"
