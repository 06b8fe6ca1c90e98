#!/usr/bin/env bash
# A second start drives the running launcher: --list, --press, --toggle, and the exit
# status of a missing button. In a Wayland session
# (whose X server is Xvfb here) the launcher runs on X, and what it starts gets the
# session's environment but not the window system chosen for the launcher.
source "$(dirname "$0")/lib.bash"
start_x
d="$TMP/data"
marker "$d/mark.sh"
bar=$'Caf\xc3\xa9 tools/x'
write_cfg "$d/Toolbars.cfg" "$DEFAULT_AT_100" "$bar;4500;1500;$d/second.vtb;;0;0;0;0;0;0;0;"
write_vtb "$d/Default.vtb" "Mark it;$d/mark.sh;;1;;0;"
write_vtb "$d/second.vtb" "Other;$d/mark.sh;;1;;0;"
# Asked only once it runs: a start before it takes the folder would become the launcher.
WAYLAND_DISPLAY=wayland-none XDG_SESSION_TYPE=wayland start_bar "$d"
cli() { "$d/vyrelight" "$@"; }
listed() { cli --list > "$TMP/list" 2>"$TMP/err"; }
poll listed || fail "--list never answered: $(cat "$TMP/err")"
printf '%s\n' "T	1	shown	Default" "	B	1	Mark it	$d/mark.sh" \
              "T	2	hidden	$bar" "	B	1	Other	$d/mark.sh" > "$TMP/expected"
diff "$TMP/expected" "$TMP/list" || fail "--list printed another set"

# How names are matched is tested in-process; here the words cross to the running launcher
# whole: a name with a blank, a slash and non-ASCII bytes.
cli --press Default "Mark it" || fail "--press failed: $(cat "$TMP/err")"
poll test -s "$d/mark.sh.ran" || fail "--press did not start the button's program"
grep -q "^WAYLAND_DISPLAY=wayland-none$" "$d/mark.sh.ran" || fail "the session's environment was not passed on"
grep -q "^QT_QPA_PLATFORM=" "$d/mark.sh.ran" && fail "a started program inherited QT_QPA_PLATFORM"
cli --toggle "$bar" || fail "--toggle by its name failed"
shown() { cli --list | grep -qx "T	2	shown	$bar"; }
poll shown || fail "--toggle did not show the toolbar"

# A missing button: its own status, with its reason. (A usage error's status is checked
# in command_line.)
status=0; cli --press Default Nowhere 2> "$TMP/err" || status=$?
[ "$status" = 1 ] && grep -q "no button named 'Nowhere'" "$TMP/err" || fail "a missing button: status $status, $(cat "$TMP/err")"
kill -0 "$APP_PID" || fail "the launcher ended"
stop_app

# No launcher runs: this start becomes it, then carries the command out (the toolbar was
# saved shown).
start_bar "$d" --toggle "$bar"
hidden() { cli --list | grep -qx "T	2	hidden	$bar"; }
poll hidden || fail "the start that became the launcher did not carry out --toggle"
stop_app
echo "remote_command: passed"
