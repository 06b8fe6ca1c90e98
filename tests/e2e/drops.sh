#!/usr/bin/env bash
# Real X drags from a stand-in file manager onto toolbars: files handed to a program one
# by one, copied into a folder byte for byte, taken by a folded auto-hide bar that opens
# for the drag and folds again, refused where a drop would do nothing, and a file on the
# handle opening the button editor.
source "$(dirname "$0")/lib.bash"
start_x_wm
d="$TMP/data"
mkdir -p "$d/box" "$d/box2" "$TMP/files"
cat > "$d/rec.sh" <<'SH'
#!/bin/sh
# One line per start: how many arguments, then the last one.
for last in "$@"; do :; done
printf '%s|%s\n' "$#" "$last" >> "$(dirname "$0")/rec.log"
SH
chmod +x "$d/rec.sh"
write_cfg "$d/Toolbars.cfg" "$DEFAULT_AT_100" "Folded;6000;3000;$d/folded.vtb;;0;0;0;0;-1;-1;0;"
write_vtb "$d/Default.vtb" "Rec;$d/rec.sh;--from-drop;1;;0;" ";;;4;;0;" "Box;$d/box;;3;;0;"
write_vtb "$d/folded.vtb" "Box2;$d/box2;;3;;0;"
a="$TMP/files/a b.txt"
q="$TMP/files/-q\"uote's;x.txt"
printf 'first file\r\n' > "$a"
head -c 70000 /dev/urandom > "$q"
start_bar "$d"
folded=$(wait_window Folded) || fail "Folded did not come up"

# The source says what the target under the pointer answers ("action taken" or "action
# refused") and, at the end, what became of the drop ("drop taken" or "drop refused").
# Before any answer the drag counts as refused.
answered() { local last; last=$(grep '^action' "$TMP/source.log" | tail -n 1); [ "${last:-action refused}" = "action $1" ]; }
dropped() { grep -q '^drop' "$TMP/source.log"; }
# answer_at X Y WANT: moves a pixel to and fro over x y until the target's answer there
# is WANT. The source tells the target of a new place only on a move, and drops a move
# that comes while it still waits for the last answer, so a hand that holds still might
# never be answered.
answer_at() {
  local x=$1 y=$2 want=$3 n=0
  over() { n=$((1 - n)); xdotool mousemove $((x + n)) "$y"; answered "$want"; }
  poll over
}
# One source for every drag, offering the files listed in $TMP/drag.list; its log is
# emptied before each drag (it appends).
start_source "$TMP/drag.list"

# drag_to X Y FILE...: drags the files from the stand-in's window (at 0,0) to just above
# x y, where nothing takes them, then onto x y, and lets go there; prints what the source
# was told. The hook in HOLD runs instead of the last move. A drop meant to be taken waits
# for the target's yes (so it is a fresh one); one meant to be refused (EXPECT=refused)
# gives the target a moment to say yes, which it must not.
drag_to() {
  local x=$1 y=$2; shift 2
  printf '%s\n' "$@" > "$TMP/drag.list"
  : > "$TMP/source.log"
  xdotool mousemove 30 30 mousedown 1
  for step in 1 2 3 4 5 6 7 8; do xdotool mousemove $((30 + (x - 30) * step / 8)) $((30 + (y - 45) * step / 8)); done
  answer_at "$x" $((y - 15)) refused || fail "the drag was taken above $x,$y"
  if [ -n "${HOLD:-}" ]; then eval "$HOLD"
  elif [ "${EXPECT:-taken}" = taken ]; then answer_at "$x" "$y" taken || fail "the target at $x,$y did not answer the drag"
  else xdotool mousemove "$x" "$y"; ! WAIT_TENTHS=3 poll answered taken || echo "taken where refused" >&2
  fi
  xdotool mouseup 1
  poll dropped || echo "drop unfinished"
  grep '^drop' "$TMP/source.log" || true
}

# Toolbar Default is at 100,100 px: the fixed end takes 3 + 31 px, buttons are 23 px,
# the gap 8 px. Rec's middle is at 145, Box's at 145 + 23 + 8 = 176.
[ "$(drag_to 145 110 "$a" "$q")" = "drop taken" ] || fail "the program button refused the drop"
twice() { [ "$(wc -l < "$d/rec.log" 2>/dev/null || echo 0)" -ge 2 ]; }
poll twice || fail "the program was not started for each file"
printf "%s\n" "2|$a" "2|$q" | sort > "$TMP/expected.log"
sort "$d/rec.log" | diff "$TMP/expected.log" - || fail "the program was not started once per file, the file last"

[ "$(drag_to 176 110 "$a" "$q")" = "drop taken" ] || fail "the folder button refused the drop"
poll test -e "$d/box/$(basename "$q")" || fail "the folder got no copy"
cmp "$a" "$d/box/a b.txt" && cmp "$q" "$d/box/$(basename "$q")" || fail "the copies differ from the files"

# Where a drop does nothing, the drag is refused: the fixed end beside the handle, and
# the gap.
[ "$(EXPECT=refused drag_to 128 110 "$a")" = "drop refused" ] || fail "the fixed end took a drop"
[ "$(EXPECT=refused drag_to 160 110 "$a")" = "drop refused" ] || fail "the gap took a drop"
[ "$(wc -l < "$d/rec.log")" = 2 ] || fail "a refused drop started the program"

# The folded bar at 200,400 (29 px wide, 60 px open) opens while the drag is over its
# handle (moves there keep the drag's messages coming); its button then takes the drop,
# and it folds again with the drag over. The handle takes drops too: its fixed end,
# which refuses them, lies between, so the button's own answer is the one waited for.
width() { geometry "$folded" | cut -d' ' -f3; }
[ "$(width)" = 29 ] || fail "Folded is not folded at start: $(width) px"
HOLD='opened() { xdotool mousemove 206 406 mousemove 207 407; [ "$(width)" = 60 ]; }
      poll opened || fail "the folded bar did not open for the drag: $(width) px"
      answer_at 230 410 refused || fail "the opened bar'"'"'s fixed end took the drag"
      answer_at 245 410 taken || fail "the opened bar'"'"'s button did not answer the drag"'
[ "$(HOLD=$HOLD drag_to 245 410 "$a")" = "drop taken" ] || fail "the opened bar's button refused the drop"
poll test -e "$d/box2/a b.txt" || fail "the file did not reach the folded bar's folder"
cmp "$a" "$d/box2/a b.txt" || fail "the file in the folded bar's folder differs"
folded_again() { [ "$(width)" = 29 ]; }
poll folded_again || fail "the bar did not fold again after the drop: $(width) px"

# A file dropped on Default's handle opens the button editor (what it holds then, and what
# OK adds, is tested in-process).
# A hand never lets go at the very first point over a window: a few moves over the handle.
[ "$(HOLD='answer_at 116 116 taken && answer_at 113 113 taken || fail "the handle did not answer"' \
     drag_to 114 114 "$a")" = "drop taken" ] || fail "the handle refused the drop"
wait_window "Add Button" >/dev/null || fail "the drop on the handle opened no editor"
stop_app
echo "drops: passed"
