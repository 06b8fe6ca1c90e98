#!/usr/bin/env bash
# --focus under a window manager: the toolbar takes the focus from another program's
# window, a digit starts its second button, and Escape gives the focus back.
source "$(dirname "$0")/lib.bash"
start_x_wm
d="$TMP/data"
marker "$d/mark.sh"
write_cfg "$d/Toolbars.cfg" "Default;1500;1500;;;0;0;0;-1;-1;0;0;" "Keys;4500;3000;$d/keys.vtb;;0;0;0;-1;-1;0;0;"
write_vtb "$d/Default.vtb"
# A separator first: the digits count buttons, not separators.
write_vtb "$d/keys.vtb" ";;;4;;0;" "First;/bin/true;;1;;0;" "Mark it;$d/mark.sh;;1;;0;"
start_app "$d"
bar=$(wait_window Keys) || fail "the launcher did not come up"

# Another program holds the focus, as when a key bound to --focus is pressed.
start_source
other=$SOURCE_WIN
xdotool windowactivate "$other"
focused_on() { [ "$(xdotool getwindowfocus)" = "$1" ]; }
poll focused_on "$other" || fail "the other program's window never had the focus"
# Typed into just now: a window manager then refuses the focus to a program that merely
# asks for it, which is what a launcher reached through its channel does.
xdotool key a

(cd / && "$d/vyrelight" --focus keys) 2> "$TMP/err" || fail "--focus failed: $(cat "$TMP/err")"
poll focused_on "$bar" || fail "--focus did not give the toolbar the focus (it is on $(xdotool getwindowfocus))"

xdotool key 2
poll test -s "$d/mark.sh.ran" || fail "the key 2 did not start the second button"
focused_on "$bar" || fail "the toolbar lost the focus to $(xdotool getwindowfocus)"
xdotool key Escape
poll focused_on "$other" || fail "Escape did not give the focus back (it is on $(xdotool getwindowfocus))"
stop_app
echo "keyboard_focus: passed"
