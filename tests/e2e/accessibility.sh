#!/usr/bin/env bash
# Through the accessibility bus, as a screen reader or voice control sees the launcher:
# a toolbar is a named tool bar; a button's Press action starts its program, and a
# mode box's Toggle action applies the mode (saved, the toolbar folds).
# A session bus of the script's own, so its accessibility bus meets no other run's.
if [ -z "${VYRE_PRIVATE_BUS:-}" ]; then
  command -v dbus-run-session >/dev/null || { echo "FAIL: dbus-run-session is missing (scripts/deps.sh)" >&2; exit 1; }
  VYRE_PRIVATE_BUS=1 exec dbus-run-session -- bash "$0" "$@"
fi
source "$(dirname "$0")/lib.bash"
# The system's Python, which holds the bus's bindings (python3-gi, gir1.2-atspi-2.0).
ATSPI=(/usr/bin/python3 "$(dirname "$0")/atspi.py")
start_x
start_wm
# The bus starts the registry with its own environment, which came before the display:
# without the display the registry may quit at once and the launcher never shows up.
dbus-update-activation-environment DISPLAY || fail "the bus did not take the display"
# The accessibility bus is started on demand; asked for now, it is there when the
# launcher looks for it. Qt then talks to it without a desktop switching it on.
dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus org.a11y.Bus.GetAddress >/dev/null ||
  fail "no accessibility bus (at-spi2-core)"
export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1

d="$TMP/data"
marker "$d/mark.sh"
write_cfg "$d/Toolbars.cfg" "Default;1500;1500;;;0;0;0;0;-1;0;0;"
write_vtb "$d/Default.vtb" "Mark;$d/mark.sh;;1;;0;" ";;;4;;0;" "Other;/bin/true;;1;;0;"
start_bar "$d"

tree() { "${ATSPI[@]}" tree > "$TMP/tree.txt" 2>&1; }
has() { tree && grep -q -- "$1" "$TMP/tree.txt"; }
expect() { poll has "$1" || { cat "$TMP/tree.txt" >&2; fail "$2"; }; }
act() { poll "${ATSPI[@]}" do "$@" || { cat "$TMP/tree.txt" >&2; fail "no $1 '$2' to $3"; }; }

# The tool bar is on the bus, named as its toolbar. (Its children, their names, roles and
# actions are tested in-process.)
expect "tool bar 'Default'" "the toolbar is not on the accessibility bus"

# Pressed through the bus, a button starts its program.
act "push button" Mark Press
poll test -s "$d/mark.sh.ran" || fail "pressing the button through the bus started nothing"

# A second start opens the configuration window, where Auto Hide is ticked by its
# action: the mode is saved and the toolbar folds, its buttons no longer showing.
"$d/vyrelight" || fail "the second start failed"
expect "check box 'Auto Hide' \['Toggle'" "the configuration window's mode boxes are not on the bus"
act "check box" "Auto Hide" Toggle
poll grep -q "^Default;1500;1500;;;0;0;0;0;-1;-1;0;" "$d/Toolbars.cfg" ||
  { cat "$d/Toolbars.cfg" >&2; fail "the mode ticked through the bus was not saved"; }
folded() { has "push button 'Mark'" && ! grep "push button 'Mark'" "$TMP/tree.txt" | grep -q showing; }
poll folded || { cat "$TMP/tree.txt" >&2; fail "the folded toolbar still shows its buttons"; }
stop_app
echo "accessibility: passed"
