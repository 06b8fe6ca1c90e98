#!/usr/bin/env bash
# A hand-written set: each visible toolbar comes up at its place with the pixel size
# the twips arithmetic gives, a hidden one is not mapped, an auto-hiding one is folded,
# and a toolbar dragged away keeps its place on disk after SIGTERM.
source "$(dirname "$0")/lib.bash"
start_x
start_wm
d="$TMP/data"
mkdir -p "$d"
crlf "Quorrelind's Vyrelight Toolbars v2_[A1]" \
     "Main;1500;3000;;;0;0;0;0;-1;0;0;" \
     "Tools;3000;3000;$d/tools.vtb;;0;-1;0;0;-1;0;0;" \
     "Hidden;4500;4500;$d/hidden.vtb;;0;0;0;0;0;0;0;" \
     "Folded;6000;3000;$d/folded.vtb;;0;0;0;0;-1;-1;0;" > "$d/Toolbars.cfg"
buttons=("Quorrelind's Vyrelight Toolbar v2_[A1]" "One;/bin/true;;1;;0;" "Two;/bin/true;;1;;0;"
         ";;;4;;0;" "Three;/tmp;;3;;0;")
crlf "${buttons[@]}" > "$d/Default.vtb"
crlf "${buttons[@]}" > "$d/tools.vtb"
crlf "${buttons[@]}" > "$d/hidden.vtb"
crlf "${buttons[@]}" > "$d/folded.vtb"
start_app "$d"

# Horizontal, three buttons and a separator: 345*3 + 120 + 470 + 90 = 1715 x 420 twips.
id=$(wait_window Main) || fail "Main did not come up"
expect_geometry "$id" 200 100 114 28
# Vertical: 435 x (330*3 + 120 + 560 = 1670) twips.
id=$(wait_window Tools) || fail "Tools did not come up"
expect_geometry "$id" 200 200 29 111
# Folded horizontal: 435.1 x 420 twips.
id=$(wait_window Folded) || fail "Folded did not come up"
expect_geometry "$id" 200 400 29 28
sleep 0.5
xdotool search --onlyvisible --name '^Hidden$' >/dev/null 2>&1 && fail "Hidden is shown"

# Drag Main's handle 20 px right and 10 px down.
main=$(wait_window Main) || fail "Main is gone"
xdotool mousemove 206 106 mousedown 1 mousemove 216 111 mousemove 226 116 mouseup 1
dragged() { [ "$(geometry "$main" | cut -d' ' -f1-2)" = "220 110" ]; }
poll dragged || fail "Main did not follow the drag: $(geometry "$main")"
stop_app
grep -q "^Main;1650;3300;" "$d/Toolbars.cfg" || { cat "$d/Toolbars.cfg"; fail "the dragged position was not saved"; }
echo "layout: passed"
