#!/usr/bin/env bash
# Where a start's instructions go, by phase: counted with callgrind, which unlike a clock
# gives the same figures however busy the machine is.
#
#   bench/phases.sh BUILD_DIR [CASE...]
#
# CASE is floor, default, large (icon cache from an earlier start), nocache, deep (the
# set of another shape, gen_large_set.py --shape deep, with its cache), deepnocache,
# windows or deepwindows (vyre_floor showing, empty, the windows an uncounted start of the
# large or deep set showed: the floor of the same windows); default: all eight. BUILD_DIR holds vyrelight and bench/vyre_floor, bench/vyre_xprobe
# (a Release build, -DVYRE_BENCH=ON). Each case runs once under callgrind on a private
# Xvfb, until its windows are up and drawn and it has idled IDLE_SECONDS (default 6:
# past the icon cache's write, two seconds after the last new picture).
#
# Three parts are dumped: up to App::start, from there to the event loop (App::start and
# whatever main() does after it), and the event loop until idle.
# The phases, in millions of instructions:
#   Qt start        the first part: exec, dynamic linking, QApplication, the data folder
#                   and the instance lock (all the floor has before its show)
#   reading files   ReadCfg and every ReadBtns
#   icon cache      the toolbars' pictures: ToolbarWindow::buildImageList (cache look-ups,
#                   decoding, pictures made from images)
#   fonts           the font database (fontconfig) and the font engines, wherever loaded
#   building windows  the rest of App::start: windows, strips, buttons, layout, show
#   first paint     the rest of the last part but the work left for later: events, the
#                   paints of every window and their way to the X server
#   cache write, icon  the work a start leaves for two seconds later: IconCache::save and
#                   CaptionCache::save (two seconds after the last new picture) and
#                   ProgramIcon::set (every window takes the program's icon)
# The floors have no App::start: their phases are Qt start and, after exec, first paint.
set -eu

BUILD=$(cd "${1:?usage: $0 BUILD_DIR [CASE...]}" && pwd)
shift
CASES=${*:-floor default large nocache deep deepnocache windows deepwindows}
IDLE_SECONDS=${IDLE_SECONDS:-6}
HERE=$(cd "$(dirname "$0")" && pwd)
BIN=$BUILD/vyrelight
FLOOR=$BUILD/bench/vyre_floor
PROBE=$BUILD/bench/vyre_xprobe
for f in "$BIN" "$FLOOR" "$PROBE"; do
  [ -x "$f" ] || { echo "missing $f: configure with -DVYRE_BENCH=ON and build" >&2; exit 1; }
done
command -v valgrind >/dev/null || { echo "valgrind is needed" >&2; exit 1; }

WORK=$(mktemp -d /tmp/vyre-phases.XXXXXX)
XVFB_PID=""
CHILD=""
PROBE_PID=""
cleanup() {
  [ -n "$CHILD" ] && kill -KILL "$CHILD" 2>/dev/null || true
  if [ -n "$XVFB_PID" ]; then kill "$XVFB_PID" 2>/dev/null && wait "$XVFB_PID" 2>/dev/null || true; fi
  rm -rf "$WORK"
}
trap cleanup EXIT

exec 3>"$WORK/displayfd"
Xvfb -displayfd 3 -screen 0 1280x800x24 -br -nolisten tcp >/dev/null 2>&1 &
XVFB_PID=$!
for _ in $(seq 100); do [ -s "$WORK/displayfd" ] && break; sleep 0.1; done
export DISPLAY=":$(head -n 1 "$WORK/displayfd")"
exec 3>&-
unset QT_QPA_PLATFORM WAYLAND_DISPLAY

python3 "$HERE/gen_large_set.py" "$WORK/large"
python3 "$HERE/gen_large_set.py" "$WORK/deep" --shape deep
read -r _ FREE_X FREE_Y < <(grep '^free' "$WORK/large/layout.txt")

count_of() {
  case $1 in
    floor|default) echo 1 ;;
    large|nocache|windows) awk '/^visible/{print $2}' "$WORK/large/layout.txt" ;;
    *) awk '/^visible/{print $2}' "$WORK/deep/layout.txt" ;;
  esac
}
title_of() { case $1 in floor) echo '^Floor$' ;; default) echo '^Default$' ;; *) echo '^Bar[0-9]{3}$' ;; esac; }
set_of() { case $1 in large|nocache|windows) echo large ;; deep|deepnocache|deepwindows) echo deep ;; esac; }

# A folder with the program beside its files, and the cache folder it is to use.
prepare() {
  local c=$1 dir=$WORK/run-$1
  mkdir -p "$dir/cache"
  case $c in
    floor|windows|deepwindows) cp "$FLOOR" "$dir/prog" ;;
    default) cp "$BIN" "$dir/prog" ;;
    *) cp "$BIN" "$dir/prog"; cp "$WORK/$(set_of "$c")/set/Toolbars.cfg" "$WORK/$(set_of "$c")/set/Default.vtb" "$dir/" ;;
  esac
  echo "$dir"
}

# Runs the program (under valgrind when asked) until up, then idles; leaves CHILD set.
run_up() {
  local c=$1 dir=$2; shift 2
  (cd / && exec env XDG_CACHE_HOME="$dir/cache" ${XPROBE_GEOMETRY:+XPROBE_GEOMETRY="$XPROBE_GEOMETRY"} XPROBE_TIMEOUT=600 "$PROBE" "$(count_of "$c")" "$(title_of "$c")" \
     "$dir/log" -- "$@" >"$dir/probe.out") &
  PROBE_PID=$!
  for _ in $(seq 12000); do
    [ -s "$dir/probe.out" ] && break
    kill -0 "$PROBE_PID" 2>/dev/null || break
    sleep 0.05
  done
  read -r CHILD ms _ <"$dir/probe.out" || true
  case $ms in ''|exited|timeout) echo "$c did not come up: $(cat "$dir/probe.out")" >&2; sed 's/^/  | /' "$dir/log" >&2; exit 1 ;; esac
}

stop_child() {
  kill -KILL "$CHILD" 2>/dev/null || true
  wait "$PROBE_PID" 2>/dev/null || true
  CHILD=""
}

# Inclusive instructions of the functions whose names match a pattern, in one part.
inclusive() {
  callgrind_annotate --inclusive=yes --threshold=100 "$1" 2>/dev/null |
    awk -v pat="$2" '$0 ~ pat { gsub(",", "", $1); s += $1 } END { print s + 0 }'
}
total_of() {
  callgrind_annotate "$1" 2>/dev/null | awk '/PROGRAM TOTALS/ { gsub(",", "", $1); print $1; exit }'
}
mega() { awk -v n="$1" 'BEGIN { printf "%.1f", n / 1e6 }'; }

FONTS="[: ]QFontDatabasePrivate::load[(]|[: ]QFontDatabase::families[(]"

printf '| case | Qt start | reading files | icon cache | fonts | building windows | first paint | cache write, icon | to idle |\n'
printf '|---|---:|---:|---:|---:|---:|---:|---:|---:|\n'
for c in $CASES; do
  dir=$(prepare "$c")
  xdotool mousemove "$FREE_X" "$FREE_Y"
  args=()
  case $c in windows|deepwindows)
    # The windows of a start of the set, told by an uncounted start of the launcher.
    list=$WORK/$(set_of "$c")-windows.txt
    args=("$list")
    if [ ! -s "$list" ]; then
      launcher=$(prepare "$(set_of "$c")")
      XPROBE_GEOMETRY=$list run_up "$(set_of "$c")" "$launcher" "$launcher/prog"
      stop_child
      rm -f "$launcher/probe.out"
    fi ;;
  esac
  if [ "$c" = large ] || [ "$c" = deep ]; then
    # An earlier start, not counted, writes the icon cache this one reads (and tells the
    # windows for the floor of the same windows).
    XPROBE_GEOMETRY=$WORK/$c-windows.txt run_up "$c" "$dir" "$dir/prog"
    # ... and the caption cache (both sets show captions), written about when the icons are.
    for f in icons captions; do
      for _ in $(seq 100); do [ -s "$dir/cache/vyrelight/$f.cache" ] && break; sleep 0.1; done
    done
    sleep 0.5
    stop_child
    rm -f "$dir/probe.out"
  fi
  out=$dir/callgrind.out
  run_up "$c" "$dir" "$(command -v valgrind)" --tool=callgrind --callgrind-out-file="$out" \
    --dump-before='App::start()' --dump-before='QCoreApplication::exec()' "$dir/prog" "${args[@]}"
  sleep "$IDLE_SECONDS"
  callgrind_control -d "$CHILD" >/dev/null 2>&1
  want=3; case $c in floor|windows|deepwindows) want=2 ;; esac
  for _ in $(seq 100); do [ "$(ls "$out".* 2>/dev/null | wc -l)" -ge "$want" ] && break; sleep 0.2; done
  sleep 1
  stop_child
  if [ "$want" = 2 ]; then
    before=$(total_of "$out.1"); main=0; after=$(total_of "$out.2")
    read=0; icons=0; fonts_main=0; fonts_after=$(inclusive "$out.2" "$FONTS"); save=0
  else
    before=$(total_of "$out.1"); main=$(total_of "$out.2"); after=$(total_of "$out.3")
    read=$(inclusive "$out.2" '[: ]ReadCfg[(]|[: ]ReadBtns[(]')
    icons=$(inclusive "$out.2" '[: ]ToolbarWindow::buildImageList[(][)]')
    fonts_main=$(inclusive "$out.2" "$FONTS")
    fonts_after=$(inclusive "$out.3" "$FONTS")
    save=$(inclusive "$out.3" '[: ]IconCache::save[(][)]|[: ]CaptionCache::save[(][)]|[: ]ProgramIcon::set[(][)]')
  fi
  build=$((main - read - icons - fonts_main))
  paint=$((after - fonts_after - save))
  printf '| %s | %s | %s | %s | %s | %s | %s | %s | %s |\n' "$c" "$(mega "$before")" "$(mega "$read")" \
    "$(mega "$icons")" "$(mega $((fonts_main + fonts_after)))" "$(mega "$build")" "$(mega "$paint")" \
    "$(mega "$save")" "$(mega $((before + main + after)))"
  [ -n "${KEEP:-}" ] && cp "$out".* "$KEEP/" 2>/dev/null || true
done
