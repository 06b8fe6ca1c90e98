#!/usr/bin/env bash
# A second start drives the running launcher: --list, --press, --toggle, and the exit
# statuses of a missing toolbar or button and of a usage error.
source "$(dirname "$0")/lib.bash"
start_x
d="$TMP/data"
mkdir -p "$d"
cat > "$d/mark.sh" <<'SH'
#!/bin/sh
echo pressed > "$(dirname "$0")/pressed.txt"
SH
chmod +x "$d/mark.sh"
bar=$'Caf\xc3\xa9 tools/x'
crlf "Quorrelind's Vyrelight Toolbars v2_[A1]" \
     "Default;1500;1500;;;0;0;0;-1;-1;0;0;" \
     "$bar;4500;1500;$d/second.vtb;;0;0;0;0;0;0;0;" > "$d/Toolbars.cfg"
crlf "Quorrelind's Vyrelight Toolbar v2_[A1]" "Mark it;$d/mark.sh;;1;;0;" > "$d/Default.vtb"
crlf "Quorrelind's Vyrelight Toolbar v2_[A1]" "Other;$d/mark.sh;;1;;0;" > "$d/second.vtb"
start_app "$d"
# Asked only once it runs: a start before it takes the folder would become the launcher.
wait_window Default >/dev/null || fail "the launcher did not come up"
cli() { (cd / && "$d/vyrelight" "$@"); }
listed() { cli --list > "$TMP/list" 2>"$TMP/err"; }
poll listed || fail "--list never answered: $(cat "$TMP/err")"
printf '%s\n' "T	1	shown	Default" "	B	1	Mark it	$d/mark.sh" \
              "T	2	hidden	$bar" "	B	1	Other	$d/mark.sh" > "$TMP/expected"
diff "$TMP/expected" "$TMP/list" || fail "--list printed another set"

# By a case-folded name with a blank: the button's program starts.
cli --press default "mark IT" || fail "--press failed: $(cat "$TMP/err")"
poll test -s "$d/pressed.txt" || fail "--press did not start the button's program"

# By number, a name with a blank, a slash and non-ASCII bytes.
cli --toggle 2 || fail "--toggle 2 failed"
shown() { cli --list | grep -qx "T	2	shown	$bar"; }
poll shown || fail "--toggle did not show the toolbar"
cli --toggle "$bar" || fail "--toggle by its name failed"
cli --list | grep -qx "T	2	hidden	$bar" || fail "--toggle did not hide the toolbar again"

set +e
cli --press Default Nowhere 2> "$TMP/err"; status=$?
[ "$status" -eq 1 ] || fail "a missing button ended with status $status, not 1"
grep -q "no button named 'Nowhere'" "$TMP/err" || fail "no reason for a missing button: $(cat "$TMP/err")"
cli --toggle 3 2> "$TMP/err"; status=$?
[ "$status" -eq 1 ] || fail "a missing toolbar ended with status $status, not 1"
cli --press Default 2> "$TMP/err"; status=$?
[ "$status" -eq 2 ] || fail "--press without a button ended with status $status, not 2"
set -e
kill -0 "$APP_PID" || fail "the launcher ended"
stop_app

# No launcher runs: this start becomes it, then carries the command out.
(cd / && exec "$d/vyrelight" --toggle "$bar") > "$TMP/app.log" 2>&1 &
APP_PID=$!
wait_window Default >/dev/null || fail "the start with --toggle did not become the launcher"
poll shown || fail "the start that became the launcher did not carry out --toggle"
stop_app
echo "remote_command: passed"
