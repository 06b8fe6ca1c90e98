#!/usr/bin/env bash
# Icon files built to cost or to block, each on a toolbar of its own: a program of 65,535
# sections whose resource entries multiply, an icon file of 2,000 entries naming one
# damaged picture, an SVG whose <image> names a pipe, a JPEG of 3,000 scans, a chain of
# icon themes with long Inherits lists, 40 buttons taking icons 1-40 of a large folder;
# then the icon cache cut short while the launcher runs, and the cache a link to a pipe.
# Each toolbar comes up, SIGTERM ends the launcher within a second with status 0, and
# the icons drawn are in the cache even when the end came right after the start.
source "$(dirname "$0")/lib.bash"
start_x
gen() { python3 "$(dirname "$0")/make_hostile_icons.py" "$@"; }
h="$TMP/hostile"
mkdir -p "$h" "$TMP/config/gtk-3.0"
gen costly-pe "$h/costly.dll"
gen ico-one-damaged "$h/damaged.ico"
gen svg-pipe "$h/pipe.svg"
gen jpeg-scans "$h/scans.jpg"
gen themes "$TMP/share/icons" 31 5000
gen folder "$h/many" 20000
convert -size 16x16 xc:'#00a000' "$h/green.png"
convert -size 16x16 xc:'#c80000' "$h/red.png"
export XDG_DATA_HOME="$TMP/share" XDG_CONFIG_HOME="$TMP/config"
printf '[Settings]\ngtk-icon-theme-name=hostile0\n' > "$TMP/config/gtk-3.0/settings.ini"
cache="$XDG_CACHE_HOME/vyrelight/icons.cache"
ms() { echo $(( $(date +%s%N) / 1000000 )); }

# run NAME BUTTON-LINE...: starts the launcher on a toolbar of these buttons, waits for
# it, then (after the hook in AFTER_UP, if any) ends it with SIGTERM.
run() {
  local name=$1 d="$TMP/$1" t0 t1 t2 status=0
  shift
  mkdir -p "$d"
  crlf "Quorrelind's Vyrelight Toolbars v2_[A1]" "Default;1500;1500;;;0;0;0;-1;-1;0;0;" > "$d/Toolbars.cfg"
  { crlf "Quorrelind's Vyrelight Toolbar v2_[A1]"; for line in "$@"; do crlf "$line"; done; } > "$d/Default.vtb"
  t0=$(ms)
  start_app "$d"
  wait_window Default >/dev/null || fail "$name: the toolbar did not come up"
  t1=$(ms)
  ${AFTER_UP:-true}
  kill -TERM "$APP_PID"
  for _ in $(seq 100); do kill -0 "$APP_PID" 2>/dev/null || break; sleep 0.01; done
  t2=$(ms)
  kill -0 "$APP_PID" 2>/dev/null && fail "$name: SIGTERM did not end the launcher"
  wait "$APP_PID" || status=$?
  APP_PID=""
  echo "$name: toolbar up in $((t1 - t0)) ms, ended $((t2 - t1)) ms after SIGTERM, status $status"
  [ $((t2 - t1)) -le 1000 ] || fail "$name: SIGTERM took $((t2 - t1)) ms"
  [ "$status" = 0 ] || fail "$name: the launcher ended with status $status"
}

run plain "Green;/bin/true;;1;$h/green.png;1;" # for comparison
run costly-pe "Costly;/bin/true;;1;$h/costly.dll;1;"
run damaged-ico "Damaged;/bin/true;;1;$h/damaged.ico;1;"
run svg-pipe "Pipe;/bin/true;;1;$h/pipe.svg;1;"
run jpeg-scans "Scans;/bin/true;;1;$h/scans.jpg;1;"
run long-inherits "Theme;/bin/true;;1;vyre-in-no-theme;1;"
run large-folder $(for i in $(seq 40); do echo "F$i;/bin/true;;1;$h/many;$i;"; done)

# Ended right after the start, the icons drawn are still written to the cache.
rm -rf "$XDG_CACHE_HOME"
run cache-at-end "Green;/bin/true;;1;$h/green.png;1;"
[ -s "$cache" ] || fail "the icon drawn was not written to the cache at the end"
# Cut short by someone else after this launcher read it; the end's save must not die.
cut_cache() { : > "$cache"; }
AFTER_UP=cut_cache run cache-cut "Green;/bin/true;;1;$h/green.png;1;" "Red;/bin/true;;1;$h/red.png;1;"
[ "$(wc -c < "$cache")" -gt 1000 ] || fail "the cache was not written whole after it was cut"
# A link to something that is not a regular file: the launcher goes on without a cache.
mkfifo "$TMP/pipe"
rm -f "$cache"
ln -s "$TMP/pipe" "$cache"
run cache-link-to-pipe "Red;/bin/true;;1;$h/red.png;1;"
[ -p "$TMP/pipe" ] && [ -L "$cache" ] || fail "the cache's link or the pipe it names was replaced"
echo "hostile_icons: passed"
