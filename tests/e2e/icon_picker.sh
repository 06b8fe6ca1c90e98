#!/usr/bin/env bash
# Choosing a button's icon: the editor's icon button opens the picker on the target,
# which holds no icons; Browse finds a picture made here, the picker shows it as the
# file's only icon, and OK there and in the editor stores the file and index 1.
source "$(dirname "$0")/lib.bash"
start_x
start_wm
d="$TMP/data"
mkdir -p "$d"
printf '#!/bin/sh\n' > "$d/tool.sh"
chmod +x "$d/tool.sh"
# A red ring on a transparent ground, 16 pixels square.
{
  printf '/* XPM */\nstatic char *ring[] = {\n"16 16 2 1",\n"  c None",\n". c #D02020",\n'
  for row in $(seq 16); do
    if [ "$row" -le 3 ] || [ "$row" -ge 14 ]; then printf '"................",\n'
    else printf '"...          ...",\n'; fi
  done
  printf '};\n'
} > "$d/ring.xpm"
start_app "$d"
wait_window Default >/dev/null || fail "the Default toolbar did not come up"
open_config 94 94
xdotool key alt+a
xdotool key alt+a
xdotool key space
editor=$(wait_window "Add Button") || fail "the button editor did not open"
point_into "$editor"
# Name, target (typed), its browse button, parameters, icon file, icon index, icon button.
xdotool key Tab
xdotool type --delay 10 "$d/tool.sh"
xdotool key Tab Tab Tab Tab Tab space
picker=$(wait_window "Open Icon") || fail "the icon button did not open the picker"
point_into "$picker"
xdotool key alt+b
wait_window "Select Icon File" >/dev/null || fail "Browse did not open the file dialog"
xdotool type --delay 10 "$d/ring.xpm"
xdotool key Return
# The chosen file is shown, and the keyboard is on the picker's OK.
for _ in $(seq 50); do xdotool search --onlyvisible --name '^Select Icon File$' >/dev/null 2>&1 || break; sleep 0.1; done
sleep 0.3
xdotool key Return
for _ in $(seq 50); do xdotool search --onlyvisible --name '^Open Icon$' >/dev/null 2>&1 || break; sleep 0.1; done
xdotool search --onlyvisible --name '^Open Icon$' >/dev/null 2>&1 && fail "OK did not close the picker"
point_into "$editor"
xdotool key Return
for _ in $(seq 50); do xdotool search --onlyvisible --name '^Add Button$' >/dev/null 2>&1 || break; sleep 0.1; done
xdotool search --onlyvisible --name '^Add Button$' >/dev/null 2>&1 && fail "OK did not close the editor"

crlf "Quorrelind's Vyrelight Toolbar v2_[A1]" "tool;$d/tool.sh;;1;$d/ring.xpm;1;" > "$TMP/vtb.expected"
cmp "$TMP/vtb.expected" "$d/Default.vtb" || { cat -A "$d/Default.vtb"; fail "Default.vtb does not hold the icon chosen"; }
stop_app
echo "icon_picker: passed"
