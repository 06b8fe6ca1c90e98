#!/usr/bin/env bash
# Ending while start-up shows a message: the program saves and ends at once, whatever
# start-up still had to do, and a later start is not locked out. Each start-up message
# is tried with each of the three ending signals.
source "$(dirname "$0")/lib.bash"
start_x
header="Quorrelind's Vyrelight Toolbars v2_[A1]"

# $1: a case name; sets up $d so that start-up shows a message before the last toolbar.
prepare() {
  d="$TMP/$1"
  rm -rf "$d"; mkdir -p "$d"
  case $1 in
    version)  crlf "Old version" > "$d/bad.vtb" ;;
    button)   crlf "Quorrelind's Vyrelight Toolbar v2_[A1]" "no fields" > "$d/bad.vtb" ;;
    folder)   : ;;
  esac
  local path="$d/bad.vtb"
  [ "$1" = folder ] && path="$d/missing/sub/bad.vtb"
  { crlf "$header" "Default;1200;1200;;;0;0;0;-1;-1;0;0;" "Bad;1200;3000;$path;;0;0;0;-1;-1;0;0;"
    for i in $(seq 3); do crlf "After$i;2400;$((1200 * i));$d/after$i.vtb;;0;0;0;-1;-1;0;0;"; done
  } > "$d/Toolbars.cfg"
  if [ "$1" = many ]; then
    for i in $(seq 260); do crlf "Many$i;1200;1200;$d/m.vtb;;0;0;0;0;0;0;0;"; done >> "$d/Toolbars.cfg"
  fi
}

n=0
for case in version button folder many; do
  sig=(TERM INT HUP)
  s=${sig[$((n % 3))]}; n=$((n + 1))
  prepare "$case"
  start_app "$d"
  box=$(wait_window "Error|Vyrelight Toolbar v2") || fail "$case: no start-up message"
  kill -s "$s" "$APP_PID"
  ended=""
  for _ in $(seq 10); do kill -0 "$APP_PID" 2>/dev/null || { ended=1; break; }; sleep 0.1; done
  [ -n "$ended" ] || fail "$case: SIG$s during a start-up message did not end the launcher within 1 s"
  wait "$APP_PID" 2>/dev/null || true
  APP_PID=""
  [ "$(head -n 1 "$d/Toolbars.cfg" | tr -d "\r")" = "$header" ] || fail "$case: Toolbars.cfg was not left whole"
  # The lock went with the process: the next start comes up.
  start_app "$d"
  wait_window "Default|Error|Vyrelight Toolbar v2" >/dev/null || fail "$case: a restart did not come up"
  kill -s TERM "$APP_PID"
  for _ in $(seq 10); do kill -0 "$APP_PID" 2>/dev/null || break; sleep 0.1; done
  kill -0 "$APP_PID" 2>/dev/null && fail "$case: the restart did not end on SIGTERM"
  APP_PID=""
  : "$box"
done
echo "term_during_startup: passed"
