#!/usr/bin/env bash
# A standing check on the real launcher under Xvfb: for a wall-clock budget it drags
# toolbars, hovers over auto-hide bars, switches modes from the menus, opens the
# configuration window and ends the program with SIGTERM at random moments, starting it
# again after each end. After every end Toolbars.cfg must be the old content or a whole
# new one, and the process must have gone within a second. Any crash, hang, sanitizer
# report, unexpected message box or RSS growth of more than 10 % within a run fails.
#
# usage: soak.sh path/to/vyrelight [seconds]
# SOAK_SEED picks the run; in CI ($CI set) it is fixed, locally random. It is printed,
# so a failing run can be repeated.
source "$(dirname "$0")/../e2e/lib.bash"
BUDGET=${2:-45}
if [ -n "${SOAK_SEED:-}" ]; then seed=$SOAK_SEED
elif [ -n "${CI:-}" ]; then seed=20261207
else seed=$(( $(date +%s%N) % 1000000 )); fi
echo "soak: seed $seed, $BUDGET s (repeat with SOAK_SEED=$seed)"
# Every draw is $((RANDOM % n)) in this shell: a subshell ($(...)) would draw from a
# generator bash seeds afresh, and the seed would no longer repeat a run.
RANDOM=$seed

start_x
d="$TMP/data"
mkdir -p "$d"
# Six toolbars in the upper left of the screen: lying and standing, some auto-hiding,
# with buttons and separators (buttons run /bin/true should a click land on one).
{ crlf "$CFG_HEADER" "$DEFAULT_AT_100"
  for i in 1 2 3 4 5; do
    { crlf "$VTB_HEADER"
      for k in $(seq $((3 + i))); do crlf "B$i$k;/bin/true;;1;;0;"; [ $k = 2 ] && crlf ";;;4;;0;"; done; } > "$d/t$i.vtb"
    crlf "T$i;$((1500 + 900 * i));$((3000 + 1200 * (i % 3)));t$i.vtb;;0;$((i % 2 ? 0 : -1));$((i == 3 ? -1 : 0));0;-1;$((i % 2 ? -1 : 0));0;"
  done; } > "$d/Toolbars.cfg"
# Toolbars.cfg whole: the header, then the six toolbar lines of twelve fields, CR LF each
# (the file ends in one too: the lines counted are the lines ended).
whole() {
  [ "$(head -n 1 "$1")" = "$CFG_HEADER"$'\r' ] && [ "$(wc -l < "$1")" = 7 ] &&
  [ "$(grep -cE '^[^;]*;-?[0-9.]+;-?[0-9.]+;[^;]*;[^;]*;-?[0-9]+;(-1;|0;){6}'$'\r''$' "$1")" = 6 ] && [ -z "$(tail -c 1 "$1" | tr -d '\n')" ]
}
whole "$d/Toolbars.cfg" || fail "the generated Toolbars.cfg is not whole"

# AddressSanitizer holds freed memory back on purpose (its quarantine), so a sanitized
# build's RSS says nothing about leaks: its runs are checked for reports instead.
rss_checked=1
if grep -qa __asan_init "$BIN"; then rss_checked=""; echo "soak: a sanitized build: RSS is not judged"; fi
rss() { awk '/^VmRSS:/{print $2}' "/proc/$1/status" 2>/dev/null || echo 0; }
alive() { kill -0 "$APP_PID" 2>/dev/null || fail "the launcher ended by itself: a crash (seed $seed)"; }

# A random visible toolbar's handle, as "x y" in pixels, in $at.
handle() {
  local ids x y
  mapfile -t ids < <(xdotool search --onlyvisible --name '^(Default|T[1-5])$' 2>/dev/null)
  [ ${#ids[@]} -gt 0 ] && read -r x y _ _ < <(geometry "${ids[$((RANDOM % ${#ids[@]}))]}") && at="$((x + 6)) $((y + 6))"
}

menu_key() { # right-click a handle, then keys once the menu is up (if it comes up)
  local at before; handle || return 0
  before=$(visible_windows)
  xdotool mousemove $at click 3
  menu_up() { [ -n "$(new_window "$before")" ]; }
  WAIT_TENTHS=10 poll menu_up || return 0
  # The pause lets a chosen item act before the Escapes close what it opened.
  xdotool key "$@"; sleep 0.2
  xdotool key Escape Escape 2>/dev/null || true
}

act() {
  case $((RANDOM % 10)) in
    0|1|2) # a drag of the handle, within the upper left
      local at; handle || return 0
      set -- $at
      local tx=$((40 + RANDOM % 600)) ty=$((40 + RANDOM % 300))
      xdotool mousemove "$1" "$2" mousedown 1 mousemove $(( ($1 + tx) / 2 )) $(( ($2 + ty) / 2 )) mousemove "$tx" "$ty" mouseup 1 ;;
    3|4) # hover over a bar (unfolds an auto-hide one), then leave it (folds it)
      local at; handle || return 0
      xdotool mousemove $at; sleep 0.$((RANDOM % 5))
      xdotool mousemove $((700 + RANDOM % 400)) $((600 + RANDOM % 150)) ;;
    5|6) # a mode switched from the menu: Vertical, Captions, Always on Top, Auto Hide, Unmoveable
      local keys=(v c a h u)
      menu_key m "${keys[$((RANDOM % 5))]}" ;;
    7) # Visible off for a toolbar (toolbar 0 stays), or the configuration window
      if [ $((RANDOM % 2)) = 0 ]; then menu_key m i; else
        open_config
      fi ;;
    *) sleep 0.0$((RANDOM % 10)) ;;
  esac
}

open_config() {
  menu_key c
  local cfg; cfg=$(WAIT_TENTHS=10 wait_window "Vyrelight Toolbar v2") || return 0
  xdotool windowmove "$cfg" 820 420 2>/dev/null || true
}

start_run() {
  old=$(cat "$d/Toolbars.cfg")
  start_app "$d"
  wait_window Default >/dev/null || fail "the launcher did not come up"
  base=""; actions=0
  # What a run makes once and keeps (the configuration window's controls, the menus,
  # the fonts of captions) is made first, so that RSS is measured from there on.
  [ $((RANDOM % 3)) = 0 ] && return 0 # some runs are ended before, at once
  open_config
  menu_key m Escape
  act
  base=$(rss "$APP_PID")
}

end_run() { # SIGTERM now (possibly in the middle of an action): gone within 1 s, file whole
  alive
  end_app TERM "a hang (seed $seed)"
  [ "$STATUS" = 0 ] || fail "ended with status $STATUS after SIGTERM (seed $seed)"
  ! grep -qE 'Sanitizer|runtime error:' "$TMP/app.log" || fail "a sanitizer report (seed $seed)"
  [ "$(cat "$d/Toolbars.cfg")" = "$old" ] || whole "$d/Toolbars.cfg" ||
    fail "Toolbars.cfg is neither the old content nor a whole new one (seed $seed): $(cat -A "$d/Toolbars.cfg")"
  ls "$d"/.Toolbars.cfg.tmp-* >/dev/null 2>&1 && fail "a temporary file was left behind"
  runs=$((runs + 1))
}

runs=0; total=0; worst=0; peak=0
end=$((SECONDS + BUDGET))
start_run
while [ $SECONDS -lt $end ]; do
  alive
  shown_none Error || fail "an unexpected error message (seed $seed)"
  if [ $((RANDOM % 25)) = 0 ] && [ $actions -gt 0 ]; then
    # Ends at a random moment: sometimes while an action is still under way.
    if [ $((RANDOM % 2)) = 0 ]; then (act >/dev/null 2>&1 || true) & helper=$!; sleep 0.0$((RANDOM % 10)); end_run; wait $helper 2>/dev/null || true
    else end_run; fi
    start_run
    continue
  fi
  act || true
  actions=$((actions + 1)); total=$((total + 1))
  # RSS may not grow by more than 10 % within a run.
  if [ -n "$rss_checked" ] && [ "${base:-0}" -gt 0 ]; then
    now=$(rss "$APP_PID") && growth=$(( (now - base) * 100 / base ))
    worst=$((growth > worst ? growth : worst)) peak=$((now > peak ? now : peak))
    [ $growth -le 10 ] || fail "RSS grew by $growth % within one run ($base kB to $now kB; seed $seed)"
  fi
done
end_run
echo "soak: passed: $runs ends, $total actions, largest RSS growth within a run $worst %, peak RSS $peak kB (seed $seed)"
