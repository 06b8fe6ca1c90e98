#!/usr/bin/env bash
# A data folder that holds the toolbars but cannot be written (here: another user's):
# the launcher starts all the same, says once that nothing is saved, and saves nothing.
source "$(dirname "$0")/lib.bash"
user=nobody
if [ "$(id -u)" != 0 ] || ! id "$user" >/dev/null 2>&1 || ! command -v setpriv >/dev/null; then
  echo "readonly_folder: skipped (needs root to run the launcher as $user)"; exit 0
fi
start_x
d="$TMP/data"
mkdir -p "$d"
chmod 755 "$TMP"
printf "Quorrelind's Vyrelight Toolbars v2_[A1]\r\nDefault;1500;1500;;;0;0;0;-1;-1;0;0;\r\n" > "$d/Toolbars.cfg"
printf "Quorrelind's Vyrelight Toolbar v2_[A1]\r\n" > "$d/Default.vtb"
cp "$BIN" "$d/vyrelight"
before=$(cat "$d/Toolbars.cfg")
# A runtime folder of that user's own: the launcher refuses one it does not own.
run="$TMP/run-$user"
mkdir -m 700 "$run"
chown "$user" "$run"
(cd / && HOME=/nonexistent XDG_CONFIG_HOME=/nonexistent XDG_RUNTIME_DIR="$run" exec setpriv --reuid="$user" --regid=nogroup --clear-groups \
  "$d/vyrelight") > "$TMP/app.log" 2>&1 &
APP_PID=$!
wait_window Default >/dev/null || fail "the toolbar did not come up"
box=$(wait_window "Vyrelight Toolbar v2") || fail "no message that nothing is saved"
# Enter closes the notice.
xdotool windowfocus "$box" 2>/dev/null || true
xdotool key Return 2>/dev/null || true
sleep 0.3
xdotool search --onlyvisible --name "^Vyrelight Toolbar v2\$" >/dev/null 2>&1 && fail "the notice did not close"
xdotool mousemove 106 106 mousedown 1 mousemove 136 121 mouseup 1
sleep 0.3
stop_app
[ "$(cat "$d/Toolbars.cfg")" = "$before" ] || fail "Toolbars.cfg was changed"
[ -z "$(ls -A "$d" | grep -v -e '^Toolbars.cfg$' -e '^Default.vtb$' -e '^vyrelight$')" ] || fail "files were made: $(ls -A "$d")"
echo "readonly_folder: passed"
