#!/usr/bin/env bash
# Icons that would cost or block, all on one toolbar: an SVG whose <image> names a pipe,
# a chain of icon themes with long Inherits lists, 40 buttons taking icons 1-40 of a
# folder of 20,000 files. The toolbar comes up and SIGTERM ends the launcher within a
# second with status 0. Then: the icons drawn are in the cache even when the end comes
# right after the start. (What each reader refuses or cuts short is tested in-process.)
source "$(dirname "$0")/lib.bash"
start_x
h="$TMP/hostile"
mkdir -p "$h/many" "$HOME/.config/gtk-3.0"
mkfifo "$h/pipe"
printf "<svg xmlns='http://www.w3.org/2000/svg' xmlns:xlink='http://www.w3.org/1999/xlink' width='16' height='16'><image width='16' height='16' xlink:href='%s'/></svg>\n" \
  "$h/pipe" > "$h/pipe.svg"
# A chain of themes, each naming the next and then 5,000 themes that do not exist.
missing=$(seq -f "missing%g" 5000 | paste -sd,)
for i in $(seq 0 30); do
  mkdir -p "$HOME/.local/share/icons/hostile$i/apps"
  next=hostile$((i + 1)); [ "$i" = 30 ] && next=hicolor
  printf '[Icon Theme]\nName=hostile%s\nInherits=%s,%s\nDirectories=apps\n\n[apps]\nSize=16\n' "$i" "$next" \
    "$missing" > "$HOME/.local/share/icons/hostile$i/index.theme"
done
printf '[Settings]\ngtk-icon-theme-name=hostile0\n' > "$HOME/.config/gtk-3.0/settings.ini"
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
run hostile "Pipe;/bin/true;;1;$h/pipe.svg;1;" "Theme;/bin/true;;1;vyre-in-no-theme;1;" \
  $(for i in $(seq 40); do echo "F$i;/bin/true;;1;$h/many;$i;"; done)
rm -rf "$XDG_CACHE_HOME"
run cache-at-end "Green;/bin/true;;1;$h/green.png;1;"
[ -s "$cache" ] || fail "the icon drawn was not written to the cache at the end"
echo "hostile_icons: passed"
