#!/usr/bin/env bash
# Real X drags from a stand-in file manager onto toolbars: files handed to a program one
# by one, copied into a folder byte for byte, taken by a folded auto-hide bar that opens
# for the drag and folds again, refused where a drop would do nothing, and a file on the
# handle becoming a new button.
source "$(dirname "$0")/lib.bash"
SOURCE=${2:?usage: $0 path/to/vyrelight path/to/vyre_dragsource}
start_x
start_wm
d="$TMP/data"
mkdir -p "$d/box" "$d/box2" "$TMP/files"
cat > "$d/rec.sh" <<'SH'
#!/bin/sh
# One line per start: how many arguments, then the last one.
for last in "$@"; do :; done
printf '%s|%s\n' "$#" "$last" >> "$(dirname "$0")/rec.log"
SH
chmod +x "$d/rec.sh"
crlf "Quorrelind's Vyrelight Toolbars v2_[A1]" \
     "Default;1500;1500;;;0;0;0;-1;-1;0;0;" \
     "Folded;6000;3000;$d/folded.vtb;;0;0;0;0;-1;-1;0;" > "$d/Toolbars.cfg"
crlf "Quorrelind's Vyrelight Toolbar v2_[A1]" "Rec;$d/rec.sh;--from-drop;1;;0;" ";;;4;;0;" \
     "Box;$d/box;;3;;0;" > "$d/Default.vtb"
crlf "Quorrelind's Vyrelight Toolbar v2_[A1]" "Box2;$d/box2;;3;;0;" > "$d/folded.vtb"
a="$TMP/files/a b.txt"
q="$TMP/files/-q\"uote's;x.txt"
printf 'first file\r\n' > "$a"
head -c 70000 /dev/urandom > "$q"
start_app "$d"
wait_window Default >/dev/null || fail "Default did not come up"
folded=$(wait_window Folded) || fail "Folded did not come up"

# Drags the given files from the stand-in's window (at 0,0) to x y and lets go there;
# prints what the source was told: "drop taken" or "drop refused". The source stays until
# the next drag: the launcher fetches the file list from it after the drag has ended for
# the source, and later still when the machine is busy.
drag_to() {
  local x=$1 y=$2; shift 2
  [ -s "$TMP/source.pid" ] && { kill "$(cat "$TMP/source.pid")" 2>/dev/null || true; }
  "$SOURCE" "$@" > "$TMP/source.log" 2>&1 &
  echo $! > "$TMP/source.pid"
  sleep 0.2
  wait_window vyre-dragsource >/dev/null || fail "the drag source did not come up"
  xdotool mousemove 30 30 mousedown 1
  for step in 1 2 3 4 5 6 7 8; do xdotool mousemove $((30 + (x - 30) * step / 8)) $((30 + (y - 30) * step / 8)); sleep 0.05; done
  sleep 0.3
  [ -z "${HOLD:-}" ] || eval "$HOLD"
  xdotool mousemove "$x" "$y" mouseup 1
  for _ in $(seq 50); do grep -q '^drop' "$TMP/source.log" && break; sleep 0.1; done
  grep '^drop' "$TMP/source.log" || echo "drop unfinished"
}

# Toolbar Default is at 100,100 px: the fixed end takes 3 + 31 px, buttons are 23 px,
# the gap 8 px. Rec's middle is at 145, Box's at 145 + 23 + 8 = 176.
[ "$(drag_to 145 110 "$a" "$q")" = "drop taken" ] || fail "the program button refused the drop"
for _ in $(seq 50); do [ "$(wc -l < "$d/rec.log" 2>/dev/null || echo 0)" -ge 2 ] && break; sleep 0.1; done
printf "%s\n" "2|$a" "2|$q" | sort > "$TMP/expected.log"
sort "$d/rec.log" | diff "$TMP/expected.log" - || fail "the program was not started once per file, the file last"

[ "$(drag_to 176 110 "$a" "$q")" = "drop taken" ] || fail "the folder button refused the drop"
for _ in $(seq 50); do [ -e "$d/box/$(basename "$q")" ] && break; sleep 0.1; done
cmp "$a" "$d/box/a b.txt" && cmp "$q" "$d/box/$(basename "$q")" || fail "the copies differ from the files"

# Where a drop does nothing, the drag is refused: the fixed end beside the handle, the
# gap, and a drag of a link onto a folder.
[ "$(drag_to 128 110 "$a")" = "drop refused" ] || fail "the fixed end took a drop"
[ "$(drag_to 160 110 "$a")" = "drop refused" ] || fail "the gap took a drop"
[ "$(wc -l < "$d/rec.log")" = 2 ] || fail "a refused drop started the program"

# The folded bar at 200,400 (29 px wide, 60 px open) opens while the drag is over its handle; its
# button then takes the drop, and it folds again with the drag over.
width() { geometry "$folded" | cut -d' ' -f3; }
[ "$(width)" = 29 ] || fail "Folded is not folded at start: $(width) px"
HOLD='for _ in $(seq 40); do [ "$(width)" = 60 ] && break; xdotool mousemove 206 406; sleep 0.05; xdotool mousemove 207 407; done
      [ "$(width)" = 60 ] || fail "the folded bar did not open for the drag: $(width) px"
      xdotool mousemove 230 410; sleep 0.2; xdotool mousemove 245 410; sleep 0.3'
[ "$(HOLD=$HOLD drag_to 245 410 "$a")" = "drop taken" ] || fail "the opened bar's button refused the drop"
for _ in $(seq 50); do [ -e "$d/box2/a b.txt" ] && break; sleep 0.1; done
cmp "$a" "$d/box2/a b.txt" || fail "the file did not reach the folded bar's folder"
for _ in $(seq 60); do [ "$(width)" = 29 ] && break; sleep 0.05; done
[ "$(width)" = 29 ] || fail "the bar did not fold again after the drop: $(width) px"

# A file dropped on Default's handle opens the button editor filled from it; OK adds the
# button to the toolbar's file.
# A hand never lets go at the very first point over a window: a few moves over the handle.
[ "$(HOLD='xdotool mousemove 116 116; sleep 0.1; xdotool mousemove 113 113; sleep 0.1' drag_to 114 114 "$a")" = "drop taken" ] ||
  fail "the handle refused the drop"
editor=$(wait_window "Add Button") || fail "the drop on the handle opened no editor"
point_into "$editor"
xdotool key Return
for _ in $(seq 50); do xdotool search --onlyvisible --name '^Add Button$' >/dev/null 2>&1 || break; sleep 0.1; done
tail -n 1 "$d/Default.vtb" | cmp - <(crlf "a b;$a;;1;;0;") || { cat -A "$d/Default.vtb"; fail "OK did not add the dropped file's button"; }
stop_app
echo "drops: passed"
