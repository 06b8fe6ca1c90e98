#!/usr/bin/env bash
# Through the configuration window alone: a toolbar is added, the window turns to it, and
# it stays hidden until "Visible" is ticked there; then a toolbar in the middle of the set
# is deleted, and every window left still starts its own toolbar's program.
source "$(dirname "$0")/lib.bash"
start_x
start_wm
cfg_title="Vyrelight Toolbar v2"

# Where the configuration window's controls are, from its top-left corner, as laid out
# with the DejaVu fonts of a bare X server.
add_toolbar=(253 37)
del_toolbar=(425 37)
toolbar_list=(130 37)
visible_box=(362 184)

click_in() { xdotool mousemove --window "$1" "$2" "$3" click 1; }

# The visible windows of this title other than the one given.
other_window() {
  for _ in $(seq 50); do
    for id in $(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null); do
      [ "$id" != "$2" ] && { echo "$id"; return 0; }
    done
    sleep 0.1
  done
  return 1
}

# ---- Adding a toolbar
d="$TMP/add"
start_app "$d"
wait_window Default >/dev/null || fail "Default did not come up"
xdotool mousemove 92 92 click --repeat 2 1
cfg=$(wait_window "$cfg_title") || fail "no configuration window"
click_in "$cfg" "${add_toolbar[@]}"
ed=$(wait_window "Add Toolbar") || fail "the toolbar editor did not open"
point_into "$ed"
xdotool type --delay 30 "Work"
xdotool key Return
for _ in $(seq 50); do grep -q "^Work;" "$d/Toolbars.cfg" && break; sleep 0.1; done
crlf "Quorrelind's Vyrelight Toolbars v2_[A1]" "Default;1200;1200;;;0;0;0;-1;-1;0;0;" \
     "Work;0;0;$d/Work.vtb;;0;0;0;0;0;0;0;" > "$TMP/cfg.expected"
cmp "$TMP/cfg.expected" "$d/Toolbars.cfg" || { cat -A "$d/Toolbars.cfg"; fail "the new toolbar was not saved as expected"; }
crlf "Quorrelind's Vyrelight Toolbar v2_[A1]" | cmp - "$d/Work.vtb" || fail "Work.vtb is not a bare toolbar file"
xdotool search --onlyvisible --name '^Work$' >/dev/null 2>&1 && fail "the new toolbar shows before Visible is ticked"

# The window has turned to the new toolbar: "Visible" is ticked there at once.
click_in "$cfg" "${visible_box[@]}"
wait_window Work >/dev/null || fail "ticking Visible did not show the new toolbar"
grep -q "^Work;0;0;$d/Work.vtb;;0;0;0;0;-1;0;0;" "$d/Toolbars.cfg" || { cat "$d/Toolbars.cfg"; fail "Visible was not saved"; }
stop_app

# ---- Deleting toolbar 2 of 0..4
d="$TMP/del"
mkdir -p "$d"
cat > "$d/mark.sh" <<'SH'
#!/bin/sh
echo "$1" >> "$(dirname "$0")/clicked.txt"
SH
chmod +x "$d/mark.sh"
lines=("Quorrelind's Vyrelight Toolbars v2_[A1]" "Default;1500;1500;;;0;0;0;-1;-1;0;0;")
for n in 1 2 3 4; do
  lines+=("T$n;9000;$((3000 * n));$d/t$n.vtb;;0;0;0;0;-1;0;0;")
  crlf "Quorrelind's Vyrelight Toolbar v2_[A1]" "Mark$n;$d/mark.sh;prog$n;1;;0;" > "$d/t$n.vtb"
done
crlf "${lines[@]}" > "$d/Toolbars.cfg"
cp "$d/t2.vtb" "$TMP/t2.before"
start_app "$d"
for n in 1 2 3 4; do wait_window "T$n" >/dev/null || fail "T$n did not come up"; done
# A double click on toolbar 2's handle opens the configuration window on it.
xdotool mousemove $((400 + 10)) $((600 + 10)) click --repeat 2 1
cfg=$(wait_window "$cfg_title") || fail "no configuration window"
click_in "$cfg" "${del_toolbar[@]}"
box=$(other_window "$cfg_title" "$cfg") || fail "no confirmation box"
read -r x y w h < <(geometry "$box")
xdotool mousemove $((x + 5)) $((y + 5))
xdotool key Return
for _ in $(seq 50); do grep -q "^T2;" "$d/Toolbars.cfg" || break; sleep 0.1; done
grep -q "^T2;" "$d/Toolbars.cfg" && fail "toolbar 2 was not deleted"
[ "$(grep -c '^T' "$d/Toolbars.cfg")" -eq 3 ] || { cat "$d/Toolbars.cfg"; fail "Toolbars.cfg does not list four toolbars"; }
cmp "$TMP/t2.before" "$d/t2.vtb" || fail "the deleted toolbar's file did not stay on disk"
sleep 0.3
xdotool search --onlyvisible --name '^T2$' >/dev/null 2>&1 && fail "the deleted toolbar's window is still shown"

# Every window left acts on its own record: a click on T4's button (now toolbar 3) starts
# T4's program, and T1's and T3's theirs.
for n in 4 1 3; do
  xdotool mousemove $((200 * n + 45)) $((600 + 10)) click 1
  for _ in $(seq 50); do [ "$(tail -n 1 "$d/clicked.txt" 2>/dev/null)" = "prog$n" ] && break; sleep 0.1; done
  [ "$(tail -n 1 "$d/clicked.txt" 2>/dev/null)" = "prog$n" ] || fail "a click on T$n's button did not start its program"
done
stop_app
grep -q "^T4;9000;12000;$d/t4.vtb;" "$d/Toolbars.cfg" || { cat "$d/Toolbars.cfg"; fail "T4 lost its place"; }
echo "add_delete_toolbar: passed"
