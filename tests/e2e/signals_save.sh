#!/usr/bin/env bash
# Logging out, a terminal closing and Ctrl+C end the launcher as SIGTERM does: it saves
# (Toolbars.cfg, removed while it runs, is written again), is gone within a second with
# status 0, and its socket with it. An end whose save failed does not report success.
# Ending while start-up shows a message: the program saves and ends at once, whatever
# start-up still had to do, and a later start is not locked out: a message on a toolbar
# file (shown once all are read) and one on Toolbars.cfg itself (shown while reading it).
source "$(dirname "$0")/lib.bash"
start_x
for sig in TERM HUP INT; do
  d="$TMP/$sig"
  write_cfg "$d/Toolbars.cfg" "$DEFAULT_AT_100"
  cp "$d/Toolbars.cfg" "$TMP/cfg.expected"
  start_bar "$d"
  rm "$d/Toolbars.cfg"
  end_app "$sig" "SIG$sig"
  cmp -s "$TMP/cfg.expected" "$d/Toolbars.cfg" || fail "SIG$sig did not save Toolbars.cfg"
  [ "$STATUS" -eq 0 ] || fail "SIG$sig: the launcher ended with status $STATUS after saving"
  [ -z "$(find "$XDG_RUNTIME_DIR" -name 'vyrelight-*.sock')" ] || fail "SIG$sig left the socket behind"
done

# A folder where Toolbars.cfg was: the end's save cannot write it.
d="$TMP/unsaved"
write_cfg "$d/Toolbars.cfg" "$DEFAULT_AT_100"
start_bar "$d"
rm "$d/Toolbars.cfg"
mkdir "$d/Toolbars.cfg"
end_app TERM unsaved
[ "$STATUS" -ne 0 ] || fail "a failed save at the end was reported as success"

# Start-up shows a message before the last toolbars: a toolbar file of an old version,
# and for "many" also 260 toolbars more than Toolbars.cfg may hold.
set -- INT HUP
for case in version many; do
  d="$TMP/$case"
  lines=("Default;1200;1200;;;0;0;0;-1;-1;0;0;" "Bad;1200;3000;$d/bad.vtb;;0;0;0;-1;-1;0;0;")
  for i in 1 2 3; do lines+=("After$i;2400;$((1200 * i));$d/after$i.vtb;;0;0;0;-1;-1;0;0;"); done
  [ "$case" = version ] || for i in $(seq 260); do lines+=("Many$i;1200;1200;$d/m.vtb;;0;0;0;0;0;0;0;"); done
  write_cfg "$d/Toolbars.cfg" "${lines[@]}"
  crlf "Old version" > "$d/bad.vtb"
  start_app "$d"
  wait_window "Error|Vyrelight Toolbar v2" >/dev/null || fail "$case: no start-up message"
  end_app "$1" "$case: during a start-up message"
  shift
  [ "$(head -n 1 "$d/Toolbars.cfg" | tr -d "\r")" = "$CFG_HEADER" ] || fail "$case: Toolbars.cfg was not left whole"
  # The lock went with the process: the next start comes up.
  start_app "$d"
  wait_window "Default|Error|Vyrelight Toolbar v2" >/dev/null || fail "$case: a restart did not come up"
  end_app TERM "$case: the restart"
done
echo "signals_save: passed"
