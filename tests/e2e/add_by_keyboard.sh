#!/usr/bin/env bash
# A new user's first button, by keyboard alone under a window manager: each window that
# opens (the configuration window, the button editor, the application chooser) takes the
# keyboard; "Applications..." finds an installed application by a word of its name and
# Enter adds it with the entry's own icon. No path and no icon name is typed. (The file
# and folder choosers, and what each window does with its keys, are tested in-process.)
source "$(dirname "$0")/lib.bash"
start_x_wm
d="$TMP/data"
marker "$d/notepad.sh"
mkdir -p "$TMP/xdg/applications"
convert -size 48x48 xc:'#20a040' "$TMP/xdg/notepad.png"
entry="$TMP/xdg/applications/vyre-notepad.desktop"
printf '[Desktop Entry]\nType=Application\nName=Vyre Notepad\nExec=%s\nIcon=%s\n' \
  "$d/notepad.sh" "$TMP/xdg/notepad.png" > "$entry"
export XDG_DATA_HOME="$TMP/xdg" XDG_DATA_DIRS=/usr/share
start_bar "$d"
read -r x y _ _ < <(geometry "$BAR")
xdotool mousemove $((x + 14)) $((y + 14)) click --repeat 2 --delay 80 1
wait_window "Vyrelight Toolbar v2" >/dev/null || fail "a double click on the handle opened no configuration window"

# The buttons' "&Add" is the second of two: Alt+A twice, then Space.
xdotool key alt+a
xdotool key alt+a
xdotool key space
wait_window "Add Button" >/dev/null || fail "the button editor did not open"
xdotool key alt+p
wait_window "Choose an Application" >/dev/null || fail "Applications... did not open the chooser"
xdotool type --delay 20 "notep"
xdotool key Return
wait_gone "Choose an Application" || fail "Enter did not take the application"
xdotool key Return
wait_gone "Add Button" || fail "OK did not add the application"
crlf "$VTB_HEADER" "Vyre Notepad;$entry;;1;$entry;1;" > "$TMP/vtb.expected"
cmp "$TMP/vtb.expected" "$d/Default.vtb" || { cat -A "$d/Default.vtb"; fail "Default.vtb does not hold the application"; }
# Its button shows the entry's own icon: the first button after the fixed ones.
entry_icon() { read -r bx by _ _ < <(geometry "$BAR"); [ "$(pixel $((bx + 34 + 11)) $((by + 14)))" = "#20A040" ]; }
WAIT_TENTHS=50 poll entry_icon || fail "the application's button does not show the entry's icon"
stop_app
echo "add_by_keyboard: passed"
