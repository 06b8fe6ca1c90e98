#!/usr/bin/env bash
# The starts that are refused: each says why, ends with a non-zero status and loses no
# file. (The options themselves and the autostart entry are tested in-process.)
source "$(dirname "$0")/lib.bash"

# Refused before any display is needed.
status=0; (unset DISPLAY; "$BIN" --frobnicate) 2> "$TMP/err" || status=$?
[ "$status" = 2 ] && grep -q "unknown option '--frobnicate'" "$TMP/err" || fail "--frobnicate: status $status, $(cat "$TMP/err")"

start_x
# A refused start shows its message box and ends with status 1 once it is closed.
expect_refusal() {
  local what=$1 status=0 pid
  shift
  "$@" > "$TMP/out" 2> "$TMP/err" &
  pid=$!
  wait_window "Vyrelight Toolbar v2" >/dev/null || { kill -9 $pid; fail "$what: no message box"; }
  xdotool key Return
  wait $pid || status=$?
  [ "$status" -eq 1 ] || fail "$what: ended with status $status"
}
# A config folder that cannot be written (under a file), for an installed program,
# which keeps its toolbars there. (A data folder that is a file is refused in-process.)
echo keep > "$TMP/plain"
mkdir -p "$TMP/usr/bin" "$TMP/usr/share/applications"
# A link of the binary itself, not a symbolic one: the program finds its folder through
# /proc, which resolves symbolic links.
ln "$BIN" "$TMP/usr/bin/vyrelight" 2>/dev/null || cp "$BIN" "$TMP/usr/bin/vyrelight"
touch "$TMP/usr/share/applications/vyrelight.desktop"
XDG_CONFIG_HOME="$TMP/plain/config" expect_refusal "an unwritable XDG_CONFIG_HOME" "$TMP/usr/bin/vyrelight"
grep -q "cannot be made" "$TMP/err" || fail "no clear message: $(cat "$TMP/err")"
[ "$(cat "$TMP/plain")" = keep ] || fail "the file under XDG_CONFIG_HOME was changed"

# The channel to a running launcher is no reason to refuse a start: with a runtime folder
# others can write, the launcher comes up without the channel, says why in its log, and
# puts no socket there.
mkdir -m 770 "$TMP/group-run"
XDG_RUNTIME_DIR="$TMP/group-run" start_bar "$TMP/data"
grep -q "other users" "$TMP/app.log" || fail "the log does not say why: $(cat "$TMP/app.log")"
stop_app
[ -z "$(ls -A "$TMP/group-run")" ] || fail "the socket went into a folder others can write"
echo "command_line: passed"
