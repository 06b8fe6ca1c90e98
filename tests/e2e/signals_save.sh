#!/usr/bin/env bash
# Logging out, a terminal closing and Ctrl+C end the launcher as SIGTERM does: the
# moved toolbar's place is saved, the process is gone within a second with status 0,
# and its socket with it. An end whose save failed does not report success.
source "$(dirname "$0")/lib.bash"
start_x
start_wm
for sig in TERM HUP INT; do
  d="$TMP/$sig"
  mkdir -p "$d"
  printf "Quorrelind's Vyrelight Toolbars v2_[A1]\r\nDefault;1500;1500;;;0;0;0;-1;-1;0;0;\r\n" > "$d/Toolbars.cfg"
  start_app "$d"
  wait_window Default >/dev/null || fail "SIG$sig: Default did not come up"
  # The handle lies 3 px inside the window at 100,100; drag it 30 px right, 15 px down.
  xdotool mousemove 106 106 mousedown 1 mousemove 120 112 mousemove 136 121 mouseup 1
  sleep 0.3
  kill -s "$sig" "$APP_PID"
  for _ in $(seq 10); do kill -0 "$APP_PID" 2>/dev/null || break; sleep 0.1; done
  kill -0 "$APP_PID" 2>/dev/null && fail "SIG$sig did not end the launcher within 1 s"
  status=0
  wait "$APP_PID" 2>/dev/null || status=$?
  APP_PID=""
  grep -q "^Default;1725;1950;" "$d/Toolbars.cfg" || { cat "$d/Toolbars.cfg"; fail "SIG$sig did not save the moved place"; }
  [ "$status" -eq 0 ] || fail "SIG$sig: the launcher ended with status $status after saving"
  [ -z "$(find "$XDG_RUNTIME_DIR" -name 'vyrelight-*.sock')" ] || fail "SIG$sig left the socket behind"
done

# A folder where Toolbars.cfg was: the end's save cannot write it.
d="$TMP/unsaved"
mkdir -p "$d"
printf "Quorrelind's Vyrelight Toolbars v2_[A1]\r\nDefault;1500;1500;;;0;0;0;-1;-1;0;0;\r\n" > "$d/Toolbars.cfg"
start_app "$d"
wait_window Default >/dev/null || fail "unsaved: Default did not come up"
rm "$d/Toolbars.cfg"
mkdir "$d/Toolbars.cfg"
kill -s TERM "$APP_PID"
status=0
wait "$APP_PID" 2>/dev/null || status=$?
APP_PID=""
[ "$status" -ne 0 ] || fail "a failed save at the end was reported as success"
echo "signals_save: passed"
