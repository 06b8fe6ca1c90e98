#!/usr/bin/env bash
# A new user's toolbar, by keyboard alone under a window manager: "Applications..." in
# the button editor finds an installed application by a word of its name and Enter adds
# it with its own icon; the target's browse button finds a document in the file dialog,
# which gets its type's icon; "Folder..." finds a folder in the folder chooser, which
# starts at home. No path and no icon name is typed.
source "$(dirname "$0")/lib.bash"
start_x_wm
gone() { wait_gone "$1"; }

d="$TMP/data"
docs="$TMP/Papers"
mkdir -p "$d" "$docs" "$TMP/xdg/home/applications" "$TMP/xdg/share" "$HOME/Vyre Projects"
printf 'a note\n' > "$docs/notes.txt"
printf '#!/bin/sh\n' > "$d/notepad.sh"
chmod +x "$d/notepad.sh"
convert -size 48x48 xc:'#20a040' "$TMP/xdg/notepad.png"
entry="$TMP/xdg/home/applications/vyre-notepad.desktop"
printf '[Desktop Entry]\nType=Application\nName=Vyre Notepad\nGenericName=Text Editor\nExec=%s\nIcon=%s\n' \
  "$d/notepad.sh" "$TMP/xdg/notepad.png" > "$entry"
export XDG_DATA_HOME="$TMP/xdg/home" XDG_DATA_DIRS="$TMP/xdg/share:/usr/share"

# Started in the documents' folder, where the file dialog then opens.
(cd "$docs" && exec "$BIN" --data-dir "$d") > "$TMP/app.log" 2>&1 &
APP_PID=$!
bar=$(wait_window Default) || fail "the Default toolbar did not come up"
read -r x y _ _ < <(geometry "$bar")
open_config $((x + 14)) $((y + 14))

add_button() {
  xdotool key alt+a
  xdotool key alt+a
  xdotool key space
  EDITOR=$(wait_window "Add Button") || fail "the button editor did not open"
}

# A program: Alt+P, a word of its name, Enter takes it, Enter adds it.
add_button
xdotool key alt+p
wait_window "Choose an Application" >/dev/null || fail "Applications... did not open the chooser"
xdotool type --delay 20 "notep"
xdotool key Return
gone "Choose an Application" || fail "Enter did not take the application"
xdotool key Return
gone "Add Button" || fail "OK did not add the application"
crlf "$VTB_HEADER" "Vyre Notepad;$entry;;1;$entry;1;" > "$TMP/vtb.expected"
cmp "$TMP/vtb.expected" "$d/Default.vtb" || { cat -A "$d/Default.vtb"; fail "Default.vtb does not hold the application"; }
# Its button shows the entry's own icon: the first button after the fixed ones.
entry_icon() { read -r bx by _ _ < <(geometry "$bar"); [ "$(pixel $((bx + 34 + 11)) $((by + 14)))" = "#20A040" ]; }
WAIT_TENTHS=50 poll entry_icon || fail "the application's button does not show the entry's icon"

# A document: the target's browse button, then the file dialog's list.
add_button
xdotool key Tab Tab space
wait_window "Button Executable" >/dev/null || fail "the browse button did not open the file dialog"
# All files (the last type), then back to the list: Space selects its first file.
xdotool key Tab End
xdotool key shift+Tab shift+Tab space Return
gone "Button Executable" || fail "the file dialog did not take the document"
xdotool key Return
gone "Add Button" || fail "OK did not add the document"
crlf "$VTB_HEADER" "Vyre Notepad;$entry;;1;$entry;1;" "notes;$docs/notes.txt;;1;;0;" \
  > "$TMP/vtb.expected"
cmp "$TMP/vtb.expected" "$d/Default.vtb" || { cat -A "$d/Default.vtb"; fail "Default.vtb does not hold the document"; }

# A folder: Alt+F, then the folder chooser's list at home: Space selects its one folder
# and Alt+C chooses it. The name comes from the folder; the icon stays 0 (the folder's).
add_button
xdotool key alt+f
wait_window "Button Folder" >/dev/null || fail "Folder... did not open the folder chooser"
xdotool key shift+Tab space alt+c
gone "Button Folder" || fail "the folder chooser did not take the folder"
xdotool key Return
gone "Add Button" || fail "OK did not add the folder"
crlf "$VTB_HEADER" "Vyre Notepad;$entry;;1;$entry;1;" "notes;$docs/notes.txt;;1;;0;" \
  "Vyre Projects;$HOME/Vyre Projects;;3;;0;" > "$TMP/vtb.expected"
cmp "$TMP/vtb.expected" "$d/Default.vtb" || { cat -A "$d/Default.vtb"; fail "Default.vtb does not hold the folder"; }
stop_app
echo "add_by_keyboard: passed"
