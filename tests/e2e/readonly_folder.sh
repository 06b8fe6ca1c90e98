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
chmod 755 "$TMP"
write_cfg "$d/Toolbars.cfg" "$DEFAULT_AT_100"
write_vtb "$d/Default.vtb"
cp -r "$d" "$TMP/before"
# A runtime folder of that user's own: the launcher refuses one it does not own.
run="$TMP/run-$user"
mkdir -m 700 "$run"
chown "$user" "$run"
(cd / && HOME=/nonexistent XDG_RUNTIME_DIR="$run" exec setpriv --reuid="$user" --regid=nogroup --clear-groups \
  "$BIN" --data-dir "$d") > "$TMP/app.log" 2>&1 &
APP_PID=$!
wait_window Default >/dev/null || fail "the toolbar did not come up"
box=$(wait_window "Vyrelight Toolbar v2") || fail "no message that nothing is saved"
# Enter closes the notice.
xdotool windowfocus "$box" 2>/dev/null || true
xdotool key Return 2>/dev/null || true
wait_gone "Vyrelight Toolbar v2" || fail "the notice did not close"
stop_app
diff -r "$TMP/before" "$d" || fail "the folder was changed"
echo "readonly_folder: passed"
