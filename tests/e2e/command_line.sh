#!/usr/bin/env bash
# The command line without a display, --autostart on and off, and the starts that are
# refused: each says why, ends with a non-zero status and loses no file.
source "$(dirname "$0")/lib.bash"
export HOME="$TMP/home"
unset XDG_CONFIG_HOME
mkdir -p "$HOME"

(unset DISPLAY; "$BIN" --version) > "$TMP/out" || fail "--version failed"
grep -qx "Vyrelight Toolbar [0-9]*\.[0-9]*\.[0-9]*" "$TMP/out" || fail "--version printed: $(cat "$TMP/out")"
(unset DISPLAY; "$BIN" --help) > "$TMP/out" || fail "--help failed"
grep -q -- "--autostart on|off" "$TMP/out" || fail "--help does not name --autostart"
set +e
(unset DISPLAY; "$BIN" --frobnicate) > "$TMP/out" 2> "$TMP/err"; status=$?
set -e
[ "$status" -eq 2 ] || fail "an unknown option ended with status $status, not 2"
grep -q "unknown option '--frobnicate'" "$TMP/err" || fail "no clear message: $(cat "$TMP/err")"

# At login: the entry starts this binary on the folder given.
"$BIN" --autostart on --data-dir "$TMP/my toolbars" > "$TMP/out" || fail "--autostart on failed"
entry="$HOME/.config/autostart/vyrelight.desktop"
[ -f "$entry" ] || fail "--autostart on wrote no $entry"
grep -q "wrote $entry" "$TMP/out" || fail "--autostart on did not say what it did: $(cat "$TMP/out")"
grep -qx "Exec=$(readlink -f "$BIN") --data-dir \"$TMP/my toolbars\"" "$entry" || fail "wrong Exec line: $(grep Exec "$entry")"
if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate "$entry" || fail "the autostart entry is not a valid desktop entry"
fi
# A folder whose name holds a line break: escaped, so the entry keeps its one Exec line.
nl="$TMP/two
lines"
"$BIN" --autostart on --data-dir "$nl" > "$TMP/out" || fail "--autostart on with a line break failed"
[ "$(grep -c '^Exec=' "$entry")" -eq 1 ] || fail "the line break split the Exec line: $(cat "$entry")"
grep -q '^Hidden' "$entry" && fail "the folder's name made keys of its own: $(cat "$entry")"
grep -qx "Exec=$(readlink -f "$BIN") --data-dir \"$TMP/two\\\\nlines\"" "$entry" || fail "wrong Exec line: $(cat "$entry")"
if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate "$entry" || fail "the entry for a folder with a line break is not valid"
fi
# A name the entry has no way to hold is refused like a wrong option, and nothing changes.
cp "$entry" "$TMP/entry.before"
set +e
"$BIN" --autostart on --data-dir "$TMP/caf$(printf '\351')" > "$TMP/out" 2> "$TMP/err"; status=$?
set -e
[ "$status" -eq 2 ] || fail "a folder name that is not UTF-8 ended with status $status, not 2"
cmp -s "$entry" "$TMP/entry.before" || fail "a refused --autostart changed the entry"
"$BIN" --autostart off > "$TMP/out" || fail "--autostart off failed"
[ -e "$entry" ] && fail "--autostart off left $entry"
grep -q "removed" "$TMP/out" || fail "--autostart off did not say what it did"

# An autostart folder that is a file.
rm -rf "$HOME/.config/autostart"
echo keep > "$HOME/.config/autostart"
if "$BIN" --autostart on 2> "$TMP/err"; then fail "--autostart on over a file succeeded"; fi
grep -q "is a file" "$TMP/err" || fail "no clear message: $(cat "$TMP/err")"
[ "$(cat "$HOME/.config/autostart")" = keep ] || fail "the file in the way was changed"

start_x
# A refused start shows its message box and ends with status 1 once it is closed.
expect_refusal() {
  local what=$1; shift
  "$@" > "$TMP/out" 2> "$TMP/err" &
  local pid=$!
  wait_window "Vyrelight Toolbar v2" >/dev/null || { kill -9 $pid; fail "$what: no message box"; }
  xdotool key Return
  local status=0
  wait $pid || status=$?
  [ "$status" -ne 0 ] || fail "$what: ended with status 0"
}
mkdir -p "$TMP/prog"
cp "$BIN" "$TMP/prog/vyrelight"
echo keep > "$TMP/plain"
expect_refusal "a data folder that is a file" "$TMP/prog/vyrelight" --data-dir "$TMP/plain"
grep -q "is a file, not a folder" "$TMP/err" || fail "no clear message: $(cat "$TMP/err")"
[ "$(cat "$TMP/plain")" = keep ] || fail "the file given as a data folder was changed"

# A config folder that cannot be written: under a file.
mkdir -p "$TMP/usr/bin" "$TMP/usr/share/applications"
cp "$BIN" "$TMP/usr/bin/vyrelight"
touch "$TMP/usr/share/applications/vyrelight.desktop"
XDG_CONFIG_HOME="$TMP/plain/config" expect_refusal "an unwritable XDG_CONFIG_HOME" "$TMP/usr/bin/vyrelight"
grep -q "cannot be made" "$TMP/err" || fail "no clear message: $(cat "$TMP/err")"
[ "$(cat "$TMP/plain")" = keep ] || fail "the file under XDG_CONFIG_HOME was changed"

# The channel to a running launcher is no reason to refuse a start: without a private
# runtime folder the launcher still comes up, and its log says why.
expect_start_without_runtime() {
  local what=$1
  (cd / && exec "$TMP/prog/vyrelight") > "$TMP/app.log" 2>&1 &
  APP_PID=$!
  wait_window Default >/dev/null || fail "$what: the launcher did not come up"
  grep -q "runtime folder" "$TMP/app.log" || fail "$what: the log does not say why"
  stop_app
}
XDG_RUNTIME_DIR="$TMP/no-such-run" expect_start_without_runtime "a missing runtime folder"
mkdir -m 770 "$TMP/group-run"
XDG_RUNTIME_DIR="$TMP/group-run" expect_start_without_runtime "a runtime folder the group can write"
grep -q "other users" "$TMP/app.log" || fail "no clear reason: $(cat "$TMP/app.log")"
[ -z "$(ls -A "$TMP/group-run")" ] || fail "the socket went into a folder others can write"
echo "command_line: passed"
