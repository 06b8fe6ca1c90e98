#!/usr/bin/env bash
# A Wayland session: the launcher runs on XWayland, where its toolbars are X windows;
# without an X server it says so and ends. Under weston's headless backend with its
# XWayland module when weston is there. (What a started program inherits in such a
# session is checked in remote_command.)
source "$(dirname "$0")/lib.bash"
d="$TMP/data"

# No X server to fall back on; an X server named but not there: said plainly, not Qt's
# abort, and no file is written.
status=0
env -u DISPLAY WAYLAND_DISPLAY=wayland-none XDG_SESSION_TYPE=wayland "$BIN" --data-dir "$d" 2> "$TMP/err" || status=$?
[ "$status" -ne 0 ] || fail "a Wayland session without XWayland started"
grep -q "XWayland" "$TMP/err" || fail "no clear message: $(cat "$TMP/err")"
status=0
DISPLAY=":98765" "$BIN" --data-dir "$d" 2> "$TMP/err" || status=$?
[ "$status" -eq 1 ] || fail "a missing X server ended with status $status"
grep -q "does not answer" "$TMP/err" || fail "no clear message: $(cat "$TMP/err")"
[ -e "$d/Toolbars.cfg" ] && fail "files were written without a display"

if ! command -v weston >/dev/null || ! command -v Xwayland >/dev/null; then
  echo "wayland: weston or Xwayland missing; only the messages were checked"
  exit 0
fi
weston --backend=headless-backend.so --xwayland --socket="vyre-wl-$$" --width=1280 --height=800 \
  > "$TMP/weston.log" 2>&1 &
XVFB_PID=$! # ended by the cleanup like an X server
xwayland_up() { display=$(sed -n 's/.*xserver listening on display \(:[0-9]*\).*/\1/p' "$TMP/weston.log"); [ -n "$display" ]; }
poll xwayland_up || fail "weston did not start XWayland: $(tail -n 5 "$TMP/weston.log")"
export DISPLAY=$display WAYLAND_DISPLAY="vyre-wl-$$" XDG_SESSION_TYPE=wayland
# Found among XWayland's windows: the launcher runs on xcb, not on Wayland.
start_bar "$TMP/on-xwayland"
stop_app
echo "wayland: passed"
