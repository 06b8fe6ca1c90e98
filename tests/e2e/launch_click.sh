#!/usr/bin/env bash
# A click on a real button starts its program with its parameters in its own folder,
# and a recall button shows the toolbar it names.
source "$(dirname "$0")/lib.bash"
start_x
start_wm
d="$TMP/data"
mkdir -p "$d/tools dir"
cat > "$d/tools dir/mark.sh" <<'SH'
#!/bin/sh
{ pwd; for a in "$@"; do printf '[%s]\n' "$a"; done; } > "$(dirname "$0")/../clicked.txt"
SH
chmod +x "$d/tools dir/mark.sh"
crlf "Quorrelind's Vyrelight Toolbars v2_[A1]" \
     "Default;1500;1500;;;0;0;0;-1;-1;0;0;" \
     "Second;4500;1500;$d/second.vtb;;0;0;0;0;0;0;0;" > "$d/Toolbars.cfg"
crlf "Quorrelind's Vyrelight Toolbar v2_[A1]" \
     "Mark;$d/tools dir/mark.sh;\"two words\" 'it''s' \$(touch pwned);1;;0;" \
     "Second;!RecallTbr>>>;1;1;;0;" > "$d/Default.vtb"
crlf "Quorrelind's Vyrelight Toolbar v2_[A1]" "Mark;$d/tools dir/mark.sh;;1;;0;" > "$d/second.vtb"
start_app "$d"
wait_window Default >/dev/null || fail "Default did not come up"

# The first button starts at 470 + 45 twips = 34 px into the window; buttons are 23 px.
xdotool mousemove $((100 + 34 + 11)) 110 click 1
for _ in $(seq 50); do [ -s "$d/clicked.txt" ] && break; sleep 0.1; done
[ -s "$d/clicked.txt" ] || fail "the program did not start"
printf '%s\n' "$d/tools dir" "[two words]" "[its]" "[\$(touch]" "[pwned)]" > "$TMP/expected.txt"
diff "$TMP/expected.txt" "$d/clicked.txt" || fail "the program got other arguments or another folder"
[ -e "$d/pwned" ] || [ -e "/pwned" ] && fail "a parameter was run by a shell"

# The recall button shows the hidden toolbar "Second", and saves its Visible flag.
xdotool search --onlyvisible --name '^Second$' >/dev/null 2>&1 && fail "Second is shown before the recall"
xdotool mousemove $((100 + 34 + 23 + 11)) 110 click 1
wait_window Second >/dev/null || fail "the recall did not show Second"
grep -q "^Second;4500;1500;.*;0;0;0;-1;0;0;" "$d/Toolbars.cfg" || { cat "$d/Toolbars.cfg"; fail "the recall was not saved"; }
stop_app
echo "launch_click: passed"
