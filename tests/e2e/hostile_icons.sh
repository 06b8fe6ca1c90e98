#!/usr/bin/env bash
# Icons that would cost or block, all on one toolbar: an SVG whose <image> names a pipe,
# 40 buttons taking icons 1-40 of a folder of 20,000 files. The toolbar comes up and
# SIGTERM ends the launcher within a second with status 0. Then: the icons drawn are in
# the cache even when the end comes right after the start. (What each reader refuses or
# cuts short, long theme chains included, is tested in-process.)
source "$(dirname "$0")/lib.bash"
start_x
h="$TMP/hostile"
mkdir -p "$h/many"
mkfifo "$h/pipe"
printf "<svg xmlns='http://www.w3.org/2000/svg' xmlns:xlink='http://www.w3.org/1999/xlink' width='16' height='16'><image width='16' height='16' xlink:href='%s'/></svg>\n" \
  "$h/pipe" > "$h/pipe.svg"
(cd "$h/many" && seq -f "%05g.png" 0 19999 | xargs touch)
convert -size 16x16 xc:'#00a000' "$h/green.png"
cache="$XDG_CACHE_HOME/vyrelight/icons.cache"

# run NAME BUTTON-LINE...: starts the launcher on a toolbar of these buttons and ends it
# with SIGTERM as soon as the toolbar is up.
run() {
  local name=$1 d="$TMP/$1"
  shift
  write_cfg "$d/Toolbars.cfg" "$DEFAULT_AT_100"
  write_vtb "$d/Default.vtb" "$@"
  start_bar "$d"
  end_app TERM "$name"
  [ "$STATUS" = 0 ] || fail "$name: the launcher ended with status $STATUS"
}
run hostile "Pipe;/bin/true;;1;$h/pipe.svg;1;" \
  $(for i in $(seq 40); do echo "F$i;/bin/true;;1;$h/many;$i;"; done)
rm -rf "$XDG_CACHE_HOME"
run cache-at-end "Green;/bin/true;;1;$h/green.png;1;"
[ -s "$cache" ] || fail "the icon drawn was not written to the cache at the end"
echo "hostile_icons: passed"
