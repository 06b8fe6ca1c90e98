#!/usr/bin/env bash
# Logging out, a terminal closing and Ctrl+C end the launcher as SIGTERM does: it saves
# (Toolbars.cfg, removed while it runs, is written again), is gone within a second with
# status 0, and its socket with it. An end whose save failed does not report success.
source "$(dirname "$0")/lib.bash"
start_x
for sig in TERM HUP INT; do
  d="$TMP/$sig"
  write_cfg "$d/Toolbars.cfg" "$DEFAULT_AT_100"
  cp "$d/Toolbars.cfg" "$TMP/cfg.expected"
  start_app "$d"
  wait_window Default >/dev/null || fail "SIG$sig: Default did not come up"
  rm "$d/Toolbars.cfg"
  end_app "$sig" "SIG$sig"
  cmp -s "$TMP/cfg.expected" "$d/Toolbars.cfg" || fail "SIG$sig did not save Toolbars.cfg"
  [ "$STATUS" -eq 0 ] || fail "SIG$sig: the launcher ended with status $STATUS after saving"
  [ -z "$(find "$XDG_RUNTIME_DIR" -name 'vyrelight-*.sock')" ] || fail "SIG$sig left the socket behind"
done

# A folder where Toolbars.cfg was: the end's save cannot write it.
d="$TMP/unsaved"
write_cfg "$d/Toolbars.cfg" "$DEFAULT_AT_100"
start_app "$d"
wait_window Default >/dev/null || fail "unsaved: Default did not come up"
rm "$d/Toolbars.cfg"
mkdir "$d/Toolbars.cfg"
end_app TERM unsaved
[ "$STATUS" -ne 0 ] || fail "a failed save at the end was reported as success"
echo "signals_save: passed"
