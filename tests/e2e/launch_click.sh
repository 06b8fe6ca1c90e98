#!/usr/bin/env bash
# A click on a real button starts its program with its parameters in its own folder,
# no shell reading them, and a recall button shows the toolbar it names. In a Wayland
# session (whose X server is Xvfb here): the launcher runs on X, and what it starts gets
# the session's environment but not the window system chosen for the launcher.
source "$(dirname "$0")/lib.bash"
start_x_wm
d="$TMP/data"
mkdir -p "$d/tools dir"
cat > "$d/tools dir/mark.sh" <<'SH'
#!/bin/sh
env > "$(dirname "$0")/../env.txt"
{ pwd; for a in "$@"; do printf '[%s]\n' "$a"; done; } > "$(dirname "$0")/../clicked.txt"
SH
chmod +x "$d/tools dir/mark.sh"
write_cfg "$d/Toolbars.cfg" "$DEFAULT_AT_100" "Second;4500;1500;$d/second.vtb;;0;0;0;0;0;0;0;"
write_vtb "$d/Default.vtb" "Mark;$d/tools dir/mark.sh;\"two words\" 'it''s' \$(touch pwned);1;;0;" \
  "Second;!RecallTbr>>>;1;1;;0;"
write_vtb "$d/second.vtb" "Mark;$d/tools dir/mark.sh;;1;;0;"
WAYLAND_DISPLAY=wayland-none XDG_SESSION_TYPE=wayland start_app "$d"
wait_window Default >/dev/null || fail "Default did not come up on X in a Wayland session"

# The first button starts at 470 + 45 twips = 34 px into the window; buttons are 23 px.
xdotool mousemove $((100 + 34 + 11)) 110 click 1
poll test -s "$d/clicked.txt" || fail "the program did not start"
printf '%s\n' "$d/tools dir" "[two words]" "[its]" "[\$(touch]" "[pwned)]" > "$TMP/expected.txt"
diff "$TMP/expected.txt" "$d/clicked.txt" || fail "the program got other arguments or another folder"
[ -e "$d/pwned" ] || [ -e "/pwned" ] && fail "a parameter was run by a shell"
grep -q "^WAYLAND_DISPLAY=wayland-none$" "$d/env.txt" || fail "the session's environment was not passed on"
grep -q "^QT_QPA_PLATFORM=" "$d/env.txt" && fail "a started program inherited QT_QPA_PLATFORM"

# The recall button shows the hidden toolbar "Second".
shown_none Second || fail "Second is shown before the recall"
xdotool mousemove $((100 + 34 + 23 + 11)) 110 click 1
wait_window Second >/dev/null || fail "the recall did not show Second"
stop_app
echo "launch_click: passed"
