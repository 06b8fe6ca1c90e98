#!/usr/bin/env bash
# Starting again brings the running launcher's configuration window up and ends with
# status 0; after a crash, the socket and lock left behind do not block a start.
source "$(dirname "$0")/lib.bash"
start_x
start_app "$TMP/data"
wait_window Default >/dev/null || fail "the first start did not come up"
xdotool search --onlyvisible --name "^Vyrelight Toolbar v2\$" >/dev/null 2>&1 && fail "a configuration window before asking"

timeout 20 "$TMP/data/vyrelight" > "$TMP/second.log" 2>&1 || fail "the second start ended with status $?: $(cat "$TMP/second.log")"
wait_window "Vyrelight Toolbar v2" >/dev/null || fail "the second start did not bring up the configuration window"
kill -0 "$APP_PID" || fail "the first launcher is gone"
[ "$(ls "$XDG_RUNTIME_DIR" | wc -l)" -eq 1 ] || fail "expected one socket in the runtime folder: $(ls "$XDG_RUNTIME_DIR")"

# A crash leaves the socket behind.
kill -9 "$APP_PID"; wait "$APP_PID" 2>/dev/null || true
APP_PID=""
ls "$XDG_RUNTIME_DIR"/*.sock >/dev/null 2>&1 || fail "the socket was not left behind by the crash"
(cd / && exec "$TMP/data/vyrelight") > "$TMP/app.log" 2>&1 &
APP_PID=$!
wait_window Default >/dev/null || fail "a start after a crash did not come up"
timeout 20 "$TMP/data/vyrelight" > "$TMP/second.log" 2>&1 || fail "a second start after a crash ended with status $?"
wait_window "Vyrelight Toolbar v2" >/dev/null || fail "no configuration window after the crash"
stop_app
echo "second_start: passed"
