#!/usr/bin/env bash
# A toolbar saved on a monitor that is gone comes up inside the screen; one left partly
# off screen stays there; a move by someone else (the window manager) is saved like a
# drag; a screen that shrinks under a toolbar brings it back.
source "$(dirname "$0")/lib.bash"
start_x
d="$TMP/data"
mkdir -p "$d"
{ crlf "Quorrelind's Vyrelight Toolbars v2_[A1]" \
       "Default;-50000;-50000;;;0;0;0;-1;-1;0;0;" \
       "Edge;-150;-150;Edge.vtb;;0;0;0;-1;-1;0;0;" \
       "Right;3000;15000;Right.vtb;;0;0;0;-1;-1;0;0;" \
       "Fixed;-9000;90000;Fixed.vtb;;0;0;0;-1;-1;0;-1;"
} > "$d/Toolbars.cfg"
crlf "Quorrelind's Vyrelight Toolbar v2_[A1]" > "$d/Edge.vtb"
crlf "Quorrelind's Vyrelight Toolbar v2_[A1]" > "$d/Right.vtb"
crlf "Quorrelind's Vyrelight Toolbar v2_[A1]" > "$d/Fixed.vtb"
start_app "$d"
id=$(wait_window Default) || fail "Default did not come up"
edge=$(wait_window Edge) || fail "Edge did not come up"
right=$(wait_window Right) || fail "Right did not come up"
read -r x y w h < <(geometry "$id")
[ "$x" -ge 0 ] && [ "$y" -ge 0 ] && [ $((x + w)) -le 1280 ] && [ $((y + h)) -le 800 ] ||
  fail "the toolbar saved at -50000,-50000 twips is at $x,$y size ${w}x$h, not inside the screen"
# Unmoveable, and out of reach: brought back all the same, to the top-right corner.
fixed=$(wait_window Fixed) || fail "Fixed did not come up"
expect_geometry "$fixed" 1252 0 28 28
# Partly visible: where the user put it.
expect_geometry "$edge" -10 -10 28 28

# Someone else moves a toolbar: taken as its place.
xdotool windowmove "$right" 700 300
sleep 0.5
expect_geometry "$right" 700 300 28 28

stop_app
grep -q "^Edge;-150;-150;" "$d/Toolbars.cfg" || fail "the partly visible toolbar moved: $(cat "$d/Toolbars.cfg")"
grep -q "^Default;-50000;" "$d/Toolbars.cfg" && fail "the rescued place was not saved: $(cat "$d/Toolbars.cfg")"
grep -q "^Right;4500;10500;" "$d/Toolbars.cfg" || fail "the window manager's move was not saved: $(cat "$d/Toolbars.cfg")"
grep -q "^Fixed;0;18780;" "$d/Toolbars.cfg" || fail "the unmoveable toolbar's new place was not kept: $(cat "$d/Toolbars.cfg")"

# The screen shrinks to 640x480, leaving "Right" (at 700,300) beyond its edge. Xvfb
# knows one mode only: the smaller one is added first.
start_app "$d"
right=$(wait_window Right) || fail "Right did not come up again"
edge=$(wait_window Edge) || fail "Edge did not come up again"
if command -v xrandr >/dev/null && xrandr --newmode 640x480 25.175 640 656 752 800 480 490 492 525 &&
   xrandr --addmode screen 640x480 && xrandr --output screen --mode 640x480; then
  sleep 1
  expect_geometry "$right" 612 300 28 28
  expect_geometry "$edge" -10 -10 28 28
  stop_app
  grep -q "^Right;4500;9180;" "$d/Toolbars.cfg" || fail "the place after the screen shrank was not saved: $(cat "$d/Toolbars.cfg")"
else
  echo "off_screen: the screen cannot be resized here (xrandr); that part is skipped"
  stop_app
fi
echo "off_screen: passed"
