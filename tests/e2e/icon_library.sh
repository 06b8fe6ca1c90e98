#!/usr/bin/env bash
# A button whose icon file is a Windows icon library, icon number 2, shows that icon's
# pixels on the screen; its neighbour, icon 1 of the same library, shows the first.
source "$(dirname "$0")/lib.bash"
start_x
d="$TMP/data"
mkdir -p "$d"
python3 "$(dirname "$0")/make_icon_library.py" "$d/colours.dll" c80000 00a000 0000c8
crlf "Quorrelind's Vyrelight Toolbars v2_[A1]" "Default;1500;1500;;;0;0;0;-1;-1;0;0;" > "$d/Toolbars.cfg"
crlf "Quorrelind's Vyrelight Toolbar v2_[A1]" \
     "Second icon;/bin/true;;1;$d/colours.dll;2;" \
     "First icon;/bin/true;;1;$d/colours.dll;1;" > "$d/Default.vtb"
start_app "$d"
wait_window Default >/dev/null || fail "Default did not come up"

# The window's top-left is at 100,100 px; the first button starts 34 px in and is 23 x
# 22 px, its 16 x 16 picture in the middle, about 14 px below the window's top.
pixel() { import -window root -crop "1x1+$1+$2" -depth 8 txt:- 2>/dev/null | grep -o '#[0-9A-F]\{6\}' | head -n 1; }
shown=""
for _ in $(seq 30); do
  shown=$(pixel $((100 + 34 + 11)) $((100 + 14)))
  [ "$shown" = "#00A000" ] && break
  sleep 0.1
done
[ "$shown" = "#00A000" ] || { import -window root "$TMP/shot.png"; fail "icon 2 of the library shows $shown, not #00A000"; }
[ "$(pixel $((100 + 34 + 23 + 11)) $((100 + 14)))" = "#C80000" ] || fail "icon 1 of the library is not shown beside it"
stop_app
echo "icon_library: passed"
