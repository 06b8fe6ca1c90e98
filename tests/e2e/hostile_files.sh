#!/usr/bin/env bash
# Files as other programs and mishaps leave them: a header saved with a byte order mark
# and trailing blanks, a toolbar file named relative to the data folder (the launcher is
# started from /), a temporary file of a save that was killed, and a caption of a
# million characters on an auto-hide bar. All load without a message; the hover unfolds
# the wide bar to a bounded width at once, and SIGTERM still ends it within a second.
source "$(dirname "$0")/lib.bash"
start_x
d="$TMP/data"
mkdir -p "$d"
# A name of this run alone: should it land in / it is found there and removed.
rel="vyre-e2e-rel-$$.vtb"
{ printf '\xEF\xBB\xBF'; crlf "Quorrelind's Vyrelight Toolbars v2_[A1]  " "Default;1500;1500;;;0;0;0;-1;-1;0;0;" \
    "Rel;1500;4500;$rel;;0;0;0;0;-1;0;0;" "Wide;6000;1500;wide.vtb;;0;0;-1;0;-1;-1;0;"; } > "$d/Toolbars.cfg"
crlf "Quorrelind's Vyrelight Toolbar v2_[A1]" "One;/bin/true;;1;;0;" "Two;/bin/true;;1;;0;" > "$d/$rel"
long=$(head -c 1000000 /dev/zero | tr '\0' 'W')
{ crlf "Quorrelind's Vyrelight Toolbar v2_[A1]" "$long;/bin/true;;1;;0;"
  for i in $(seq 39); do crlf "B$i;/bin/true;;1;;0;"; done; } > "$d/wide.vtb"
echo "half" > "$d/.Toolbars.cfg.tmp-99999-12345-0"
start_app "$d"

id=$(wait_window Rel) || fail "Rel did not come up"
[ -e "/$rel" ] && { rm -f "/$rel"; fail "a toolbar file was made in the current folder"; }
expect_geometry "$id" 300 100 83 28 # two buttons: the file was found in the data folder
wide=$(wait_window Wide) || fail "Wide did not come up"
xdotool search --onlyvisible --name '^(Error|Vyrelight Toolbar v2)$' >/dev/null 2>&1 && fail "a message came up"
[ -e "$d/.Toolbars.cfg.tmp-99999-12345-0" ] && fail "the stale temporary file is still there"

read -r x y _ _ < <(geometry "$wide")
xdotool mousemove 600 600 mousemove $((x + 6)) $((y + 6))
for _ in $(seq 40); do read -r _ _ w _ < <(geometry "$wide"); [ "$w" -gt 100 ] && break; sleep 0.05; done
[ "$w" -gt 100 ] || fail "the hover did not unfold the wide bar"
# 40 buttons of at most 200 pixels of caption, 8 of padding, handle and frame.
[ "$w" -le $((40 * 208 + 40)) ] || fail "the wide bar is $w pixels wide"
xdotool mousemove 600 600
sleep 0.1
kill -TERM "$APP_PID"
for _ in $(seq 10); do kill -0 "$APP_PID" 2>/dev/null || break; sleep 0.1; done
kill -0 "$APP_PID" 2>/dev/null && fail "SIGTERM did not end the launcher within 1 s"
APP_PID=""
[ "$(head -c 3 "$d/Toolbars.cfg" | od -An -tx1 | tr -d ' ')" = 51756f ] || fail "the header was not written back plain"
[ "$(head -n 1 "$d/Toolbars.cfg")" = "Quorrelind's Vyrelight Toolbars v2_[A1]"$'\r' ] || fail "the header kept its blanks"
grep -q "^Rel;1500;4500;$rel;" "$d/Toolbars.cfg" || fail "the relative path was not kept as written"
echo "hostile_files: passed"
