#!/usr/bin/env bash
# A Wayland session: the launcher runs on XWayland, where its toolbars are X windows;
# without an X server it says so and ends. Under weston's headless backend with its
# XWayland module when weston is there.
source "$(dirname "$0")/lib.bash"
d="$TMP/data"
mkdir -p "$d"
cp "$BIN" "$d/vyrelight"

# No X server to fall back on.
set +e
env -u DISPLAY WAYLAND_DISPLAY=wayland-none XDG_SESSION_TYPE=wayland "$d/vyrelight" 2> "$TMP/err"; status=$?
set -e
[ "$status" -ne 0 ] || fail "a Wayland session without XWayland started"
grep -q "XWayland" "$TMP/err" || fail "no clear message: $(cat "$TMP/err")"
# An X server named but not there: said plainly, not Qt's abort.
set +e
DISPLAY=":98765" "$d/vyrelight" 2> "$TMP/err"; status=$?
set -e
[ "$status" -eq 1 ] || fail "a missing X server ended with status $status"
grep -q "does not answer" "$TMP/err" || fail "no clear message: $(cat "$TMP/err")"
[ -e "$d/Toolbars.cfg" ] && fail "files were written without a display"

# In a Wayland session whose X server is Xvfb: the launcher runs on it, and what it
# starts does not inherit the window system chosen for the launcher.
start_x
cat > "$d/env.sh" <<'SH'
#!/bin/sh
env > "$(dirname "$0")/env.txt"
SH
chmod +x "$d/env.sh"
crlf "Quorrelind's Vyrelight Toolbars v2_[A1]" "Default;1500;1500;;;0;0;0;-1;-1;0;0;" > "$d/Toolbars.cfg"
crlf "Quorrelind's Vyrelight Toolbar v2_[A1]" "Env;$d/env.sh;;1;;0;" > "$d/Default.vtb"
(cd / && WAYLAND_DISPLAY=wayland-none XDG_SESSION_TYPE=wayland exec "$d/vyrelight") > "$TMP/app.log" 2>&1 &
APP_PID=$!
wait_window Default >/dev/null || fail "no toolbar on X in a Wayland session"
xdotool mousemove $((100 + 34 + 11)) 110 click 1
for _ in $(seq 50); do [ -s "$d/env.txt" ] && break; sleep 0.1; done
[ -s "$d/env.txt" ] || fail "the button's program did not start"
grep -q "^WAYLAND_DISPLAY=wayland-none$" "$d/env.txt" || fail "the session's environment was not passed on"
grep -q "^QT_QPA_PLATFORM=" "$d/env.txt" && fail "a started program inherited QT_QPA_PLATFORM"
stop_app
kill "$XVFB_PID" && wait "$XVFB_PID" 2>/dev/null || true
XVFB_PID=""
rm -f "$d/Toolbars.cfg" "$d/Default.vtb"

if ! command -v weston >/dev/null || ! command -v Xwayland >/dev/null; then
  echo "wayland: weston or Xwayland missing; only the messages were checked"
  exit 0
fi
weston --backend=headless-backend.so --xwayland --socket=vyre-wl --width=1280 --height=800 \
  > "$TMP/weston.log" 2>&1 &
XVFB_PID=$! # ended by the cleanup like an X server
for _ in $(seq 100); do
  display=$(sed -n 's/.*xserver listening on display \(:[0-9]*\).*/\1/p' "$TMP/weston.log")
  [ -n "$display" ] && break
  sleep 0.1
done
[ -n "$display" ] || fail "weston did not start XWayland: $(tail -n 5 "$TMP/weston.log")"
export DISPLAY=$display WAYLAND_DISPLAY=vyre-wl XDG_SESSION_TYPE=wayland
(cd / && exec "$d/vyrelight") > "$TMP/app.log" 2>&1 &
APP_PID=$!
# Found among XWayland's windows: the launcher runs on xcb, not on Wayland.
wait_window Default >/dev/null || fail "no toolbar on XWayland"
stop_app
echo "wayland: passed"
