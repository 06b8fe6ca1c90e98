#!/usr/bin/env bash
# An empty folder: the launcher writes its default files, shows "Default" at 1200,1200
# twips as a bare 420 x 420 twips handle, and saves on SIGTERM.
source "$(dirname "$0")/lib.bash"
start_x
start_app "$TMP/data"
id=$(wait_window Default) || fail "the Default toolbar did not come up"
expect_geometry "$id" 80 80 28 28

printf "Quorrelind's Vyrelight Toolbars v2_[A1]\r\nDefault;1200;1200;;;0;0;0;-1;-1;0;0;\r\n" > "$TMP/cfg.expected"
printf "Quorrelind's Vyrelight Toolbar v2_[A1]\r\n" > "$TMP/vtb.expected"
cmp "$TMP/cfg.expected" "$TMP/data/Toolbars.cfg" || fail "default Toolbars.cfg differs"
cmp "$TMP/vtb.expected" "$TMP/data/Default.vtb" || fail "default Default.vtb differs"

rm "$TMP/data/Toolbars.cfg"
stop_app
cmp "$TMP/cfg.expected" "$TMP/data/Toolbars.cfg" || fail "SIGTERM did not save Toolbars.cfg"

# A second start reads the files back.
start_app "$TMP/data"
wait_window Default >/dev/null || fail "the second start did not come up"
stop_app
echo "first_start: passed"
