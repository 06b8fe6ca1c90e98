#!/usr/bin/env bash
# An auto-hiding toolbar as a user meets it: folded at start, unfolded while the mouse is
# on its handle, folded again (step by step, on real timers) once the mouse has left.
source "$(dirname "$0")/lib.bash"
start_x
start_wm
d="$TMP/data"
mkdir -p "$d"
crlf "Quorrelind's Vyrelight Toolbars v2_[A1]" \
     "Folded;6000;3000;;;0;0;0;0;-1;-1;0;" > "$d/Toolbars.cfg"
crlf "Quorrelind's Vyrelight Toolbar v2_[A1]" "One;/bin/true;;1;;0;" "Two;/bin/true;;1;;0;" \
     ";;;4;;0;" "Three;/tmp;;3;;0;" > "$d/Default.vtb"
start_app "$d"

id=$(wait_window Folded) || fail "Folded did not come up"
expect_geometry "$id" 200 400 29 28
width() { geometry "$id" | cut -d' ' -f3; }
wait_width() {
  for _ in $(seq 60); do [ "$(width)" = "$1" ] && return 0; sleep 0.05; done
  fail "the width stayed $(width), expected $1 ($2)"
}
xdotool mousemove 600 600 mousemove 206 406
wait_width 114 "a hover unfolds it"
sleep 0.5
[ "$(width)" = 114 ] || fail "it folded while the mouse was on it"
xdotool mousemove 600 600
wait_width 29 "it folds once the mouse has left"
# And again: the next hover unfolds it once more. (Another pixel than the first time:
# Qt drops a move to the very point of the last one it delivered.)
xdotool mousemove 207 407
wait_width 114 "a second hover unfolds it"
stop_app
echo "autohide: passed"
