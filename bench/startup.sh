#!/usr/bin/env bash
# Start-up time, memory and idle wakeups of the launcher, against the floor (a bare Qt
# program showing one frameless tool window), measured from outside on the shipped binary.
#
#   bench/startup.sh BUILD_DIR [RUNS]
#
# BUILD_DIR holds vyrelight and bench/vyre_floor, bench/vyre_xprobe (configure with
# -DVYRE_BENCH=ON). RUNS (default 7, at least 5) rounds each start the three cases once, in
# an order that rotates from round to round so no case always goes first:
#   floor    vyre_floor: one 28x28 frameless tool window titled "Floor"
#   default  the launcher in an empty folder: it writes its default files, shows "Default"
#   large    the launcher on the generated large set (gen_large_set.py): 256 toolbars of
#            40 buttons, 16 of them visible, icons from 400 PNG and ICO files, with the icon
#            cache of an earlier start (one unmeasured start fills it before the rounds)
#   nocache  the large set without an icon cache: every icon shown is decoded
#   damaged  the large set with a damaged icon cache (the warm one with one pixel of every
#            record changed), which must cost no more than having none
#   deep     the set of another shape (gen_large_set.py --shape deep): 96 toolbars of 40
#            buttons, 12 visible (4 upright, 6 with captions), every button of them with
#            an icon of its own (480 PNG files of 16 to 48 pixels), with the icon cache of
#            an earlier start
#   deepnocache  the same without an icon cache
#   windows  the floor of the large set's windows: vyre_floor showing, empty, the windows
#            the launcher showed in an unmeasured start of the large set (same sizes,
#            places and titles). Showing 16 windows costs Qt and the X server far more
#            than one, whatever is in them; the large cases are also given against it.
#   deepwindows  the same for the deep set
# CASES="floor default" limits the cases (default: floor default large nocache damaged
# deep deepnocache windows deepwindows). Everything runs on a private Xvfb. After each
# stop the script syncs and waits SETTLE_SECONDS (default 0.5; 0 skips the wait) so that
# the end of one program does not run into the start of the next.
#
# What is measured, per start:
#   time  from the spawn of the program until every expected toolbar window is viewable
#         (X map state, as `xdotool search --onlyvisible` sees it; windows are found by
#         their title, the toolbar's Name) and its top-left corner holds a pixel that is
#         not the black of the root window, i.e. its first paint has reached the screen
#         (vyre_xprobe, which asks the X server about once a millisecond);
#   cpu   the CPU time the program had used by then (/proc/PID/task/*/schedstat): the
#         work itself, which a busy machine barely changes, while time also holds waiting;
#   rss   VmRSS of /proc/PID/status one second after that;
# and once per case, after the last round, with the mouse parked away from every toolbar,
# from 3 s after up (past what a start leaves for two seconds later):
#   wakeups  voluntary + involuntary context switches over 10 s of idling, summed over
#            /proc/PID/task/*/status;
#   ticks    utime + stime (clock ticks) from /proc/PID/stat over the same 10 s.
# Files are in the page cache for every start (all cases alike: nothing is measured cold).
set -eu

BUILD=$(cd "${1:?usage: $0 BUILD_DIR [RUNS]}" && pwd)
RUNS=${2:-7}
CASES=${CASES:-floor default large nocache damaged deep deepnocache windows deepwindows}
IDLE_SECONDS=${IDLE_SECONDS:-10}
HERE=$(cd "$(dirname "$0")" && pwd)
BIN=$BUILD/vyrelight
FLOOR=$BUILD/bench/vyre_floor
PROBE=$BUILD/bench/vyre_xprobe
[ "$RUNS" -ge 5 ] || { echo "RUNS must be at least 5 (medians of fewer say little)" >&2; exit 64; }
for f in "$FLOOR" "$PROBE"; do
  [ -x "$f" ] || { echo "missing $f: configure with -DVYRE_BENCH=ON and build" >&2; exit 1; }
done
case " $CASES " in *" default "*|*" large "*|*" nocache "*|*" damaged "*|*" deep"*)
  [ -x "$BIN" ] || { echo "missing $BIN" >&2; exit 1; } ;;
esac

WORK=$(mktemp -d /tmp/vyre-bench.XXXXXX)
XVFB_PID=""
RUNNING=""   # the pid of the program under measurement, while it runs
PROBE_PID="" # its probe, which is its parent

cleanup() {
  [ -n "$RUNNING" ] && kill -KILL "$RUNNING" 2>/dev/null || true
  [ -n "$PROBE_PID" ] && wait "$PROBE_PID" 2>/dev/null || true
  # Waited for, so a server still tearing down never removes what the next one took.
  if [ -n "$XVFB_PID" ]; then kill "$XVFB_PID" 2>/dev/null && wait "$XVFB_PID" 2>/dev/null || true; fi
  rm -rf "$WORK"
}
trap cleanup EXIT

# A private X server with a black root (-br), so that an unpainted window reads black.
for n in $(seq 77 120); do
  [ -e "/tmp/.X11-unix/X$n" ] && continue
  Xvfb ":$n" -screen 0 1280x800x24 -br -nolisten tcp >/dev/null 2>&1 &
  XVFB_PID=$!
  for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done
  [ -e "/tmp/.X11-unix/X$n" ] && { export DISPLAY=":$n"; break; }
  kill "$XVFB_PID" 2>/dev/null || true; XVFB_PID=""
done
[ -n "$XVFB_PID" ] || { echo "no X server could be started" >&2; exit 1; }
unset QT_QPA_PLATFORM WAYLAND_DISPLAY

python3 "$HERE/gen_large_set.py" "$WORK/large"
read -r _ LARGE_COUNT _ < <(grep '^visible' "$WORK/large/layout.txt")
read -r _ FREE_X FREE_Y < <(grep '^free' "$WORK/large/layout.txt")
python3 "$HERE/gen_large_set.py" "$WORK/deep" --shape deep
read -r _ DEEP_COUNT _ < <(grep '^visible' "$WORK/deep/layout.txt")

expect_count() {
  case $1 in large|nocache|damaged|windows) echo "$LARGE_COUNT" ;; deep|deepnocache|deepwindows) echo "$DEEP_COUNT" ;; *) echo 1 ;; esac
}
expect_title() { case $1 in floor) echo '^Floor$' ;; default) echo '^Default$' ;; *) echo '^Bar[0-9]{3}$' ;; esac; }

# The icon cache folder of a start: shared by the "large" starts, so each finds what the
# one before wrote; empty, or holding a damaged cache, for the other cases.
cache_for() {
  local c=$1 dir=$2
  case $c in
    large) echo "$WORK/cache-warm" ;;
    deep) echo "$WORK/cache-deep" ;;
    damaged)
      mkdir -p "$dir/cache/vyrelight"
      if [ -f "$WORK/cache-warm/vyrelight/icons.cache" ]; then
        # The worst kind of damage: every record whole but for one pixel, so each is
        # found, checked, refused and decoded again.
        python3 - "$WORK/cache-warm/vyrelight/icons.cache" "$dir/cache/vyrelight/icons.cache" <<'PY'
import struct, sys
b = bytearray(open(sys.argv[1], 'rb').read())
at = 12
while at + 12 <= len(b):
    n = struct.unpack_from('<I', b, at)[0]
    if at + 12 + n > len(b):
        break
    b[at + 12 + n - 1] ^= 0x5A
    at += 12 + n
open(sys.argv[2], 'wb').write(b)
PY
      else
        head -c 700000 /dev/urandom > "$dir/cache/vyrelight/icons.cache"
      fi
      echo "$dir/cache" ;;
    *) echo "$dir/cache" ;;
  esac
}

# A fresh folder per start, with the program copied into it: the launcher keeps its data
# beside itself, and one instance runs per folder.
prepare() {
  local c=$1 dir=$2
  mkdir -p "$dir"
  case $c in
    floor|windows|deepwindows) cp "$FLOOR" "$dir/vyre_floor"; echo "$dir/vyre_floor" ;;
    default) cp "$BIN" "$dir/vyrelight"; echo "$dir/vyrelight" ;;
    large|nocache|damaged) cp "$BIN" "$WORK/large/set/Toolbars.cfg" "$WORK/large/set/Default.vtb" "$dir/"
           echo "$dir/vyrelight" ;;
    deep|deepnocache) cp "$BIN" "$WORK/deep/set/Toolbars.cfg" "$WORK/deep/set/Default.vtb" "$dir/"
           echo "$dir/vyrelight" ;;
  esac
}

rss_kib() { awk '/^VmRSS:/{print $2}' "/proc/$1/status"; }
switches() {
  cat /proc/"$1"/task/*/status 2>/dev/null |
    awk '/^(non)?voluntary_ctxt_switches:/{s+=$2} END{print s+0}'
}
ticks() { sed 's/^.*) //' "/proc/$1/stat" | awk '{print $12 + $13}'; }
threads() { ls "/proc/$1/task" | wc -l; }

# Ends the program under measurement and its probe (which stays its parent, so that the
# program is never an orphan handed to process 1).
stop() {
  local pid=$1
  kill -TERM "$pid" 2>/dev/null || true
  for _ in $(seq 50); do
    [ -d "/proc/$pid" ] || break
    grep -q '^State:.*Z' "/proc/$pid/status" 2>/dev/null && break
    sleep 0.1
  done
  kill -KILL "$pid" 2>/dev/null || true
  [ -n "$PROBE_PID" ] && wait "$PROBE_PID" 2>/dev/null || true
  RUNNING=""; PROBE_PID=""
  settle
}

# Lets the end of the program just stopped finish before the next start: the launcher
# saves Toolbars.cfg (with fsync) as it ends, and the X server tears down its windows
# (16 large ones for the large set). Every case waits alike.
settle() {
  [ "${SETTLE_SECONDS:-0.5}" = 0 ] && return 0
  sync
  sleep "${SETTLE_SECONDS:-0.5}"
}

# What the program is started with: the floors of many windows get their window list.
args_for() {
  case $1 in windows) echo "$WORK/large-windows.txt" ;; deepwindows) echo "$WORK/deep-windows.txt" ;; esac
}

# One start. Sets PID, MS and KIB and leaves the program running; false when it did not
# come up. Runs in this shell, not a subshell, so the probe stays this shell's child.
start_one() {
  local c=$1 dir=$2 exe out="" cache args
  exe=$(prepare "$c" "$dir")
  read -r -a args <<<"$(args_for "$c")"
  cache=$(cache_for "$c" "$dir")
  xdotool mousemove "$FREE_X" "$FREE_Y"
  (cd / && exec env XDG_CACHE_HOME="$cache" ${XPROBE_GEOMETRY:+XPROBE_GEOMETRY="$XPROBE_GEOMETRY"} XPROBE_TIMEOUT="${XPROBE_TIMEOUT:-60}" "$PROBE" "$(expect_count "$c")" \
     "$(expect_title "$c")" "$dir/log" -- "$exe" "${args[@]}" >"$dir/probe.out") &
  PROBE_PID=$!
  # The probe keeps the time itself; this loop only waits for its answer.
  for _ in $(seq $(( ${XPROBE_TIMEOUT:-60} * 20 + 100 ))); do
    out=$(head -n 1 "$dir/probe.out" 2>/dev/null || true)
    [ -n "$out" ] && break
    sleep 0.05
  done
  PID=""; MS=""; CPU=""
  read -r PID MS CPU _ <<<"$out"
  RUNNING=$PID
  case $MS in
    ''|exited|timeout)
      echo "$c: did not come up (${out:-no answer}); its output:" >&2
      sed 's/^/  | /' "$dir/log" >&2 || true
      [ -n "$PID" ] && stop "$PID"
      return 1 ;;
  esac
  sleep 1
  KIB=$(rss_kib "$PID")
  local seen
  seen=$(xdotool search --onlyvisible --name "$(expect_title "$c")" 2>/dev/null | wc -l)
  [ "$seen" -eq "$(expect_count "$c")" ] ||
    echo "$c: xdotool sees $seen visible windows, expected $(expect_count "$c")" >&2
}

# The program ended while it should have been idling: say so with its output.
died() {
  echo "$1: the program ended during the idle measurement; its output:" >&2
  sed 's/^/  | /' "$2/log" >&2 || true
}

declare -A TIMES CPUS RSS IDLE_SW IDLE_TICKS IDLE_THREADS FAILED
read -r -a case_list <<<"$CASES"
# One unmeasured start fills the cache the "large" starts share (and that "damaged"
# scrambles); the launcher writes it two seconds after its last new picture. The same
# start tells the windows the floor of the same windows shows.
case " $CASES " in *" large "*|*" damaged "*|*" windows "*)
  if XPROBE_GEOMETRY=$WORK/large-windows.txt start_one large "$WORK/run/prime"; then sleep 3; stop "$PID"; fi ;;
esac
case " $CASES " in *" deep "*|*" deepwindows "*)
  if XPROBE_GEOMETRY=$WORK/deep-windows.txt start_one deep "$WORK/run/prime-deep"; then sleep 3; stop "$PID"; fi ;;
esac
for r in $(seq 1 "$RUNS"); do
  # Rotate the order each round.
  order=()
  for i in "${!case_list[@]}"; do
    order+=("${case_list[$(( (i + r - 1) % ${#case_list[@]} ))]}")
  done
  for c in "${order[@]}"; do
    [ -n "${FAILED[$c]:-}" ] && continue
    if ! start_one "$c" "$WORK/run/$c-$r"; then
      FAILED[$c]=1
      continue
    fi
    TIMES[$c]+="$MS "
    CPUS[$c]+="$CPU "
    RSS[$c]+="$KIB "
    printf 'round %d  %-8s %8.1f ms %8.1f ms CPU %8d KiB\n' "$r" "$c" "$MS" "$CPU" "$KIB" >&2
    if [ "$r" -eq "$RUNS" ]; then
      xdotool mousemove "$FREE_X" "$FREE_Y"
      # Past the work a start leaves for two seconds later (the caches' write, the
      # program's icon), which is not idling yet: the count starts 3 s after up.
      sleep 2
      s0=$(switches "$PID"); t0=$(ticks "$PID")
      sleep "$IDLE_SECONDS"
      if [ -r "/proc/$PID/stat" ] && ! grep -q '^State:.*Z' "/proc/$PID/status"; then
        s1=$(switches "$PID"); t1=$(ticks "$PID")
        IDLE_SW[$c]=$((s1 - s0)); IDLE_TICKS[$c]=$((t1 - t0)); IDLE_THREADS[$c]=$(threads "$PID")
      else
        died "$c" "$WORK/run/$c-$r"; FAILED[$c]=1
      fi
    fi
    stop "$PID"
  done
done

median() { tr ' ' '\n' | grep -v '^$' | sort -g | awk '{a[NR]=$1} END{if(NR==0){print "";exit}
  if(NR%2)print a[(NR+1)/2]; else print (a[NR/2]+a[NR/2+1])/2}'; }
ratio() { [ -n "$1" ] && [ -n "$2" ] && awk -v a="$1" -v b="$2" 'BEGIN{printf "%.2f", a/b}' || echo "-"; }

echo
echo "Start-up, $RUNS rounds, $(nproc) cores, $(date -u '+%Y-%m-%d %H:%M UTC'), commit $(git -C "$HERE" rev-parse --short HEAD 2>/dev/null || echo '?')"
echo
printf '| case | median time (ms) | time / floor | median CPU to up (ms) | CPU / floor | median VmRSS (MiB) | RSS / floor | time, CPU / same windows | wakeups in %ss idle | CPU ticks in %ss idle | threads |\n' "$IDLE_SECONDS" "$IDLE_SECONDS"
echo  '|---|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|'
ft=$(echo "${TIMES[floor]:-}" | median); fc=$(echo "${CPUS[floor]:-}" | median); fr=$(echo "${RSS[floor]:-}" | median)
# The floor of the same windows a case shows, when there is one.
same_windows() { case $1 in large|nocache|damaged) echo windows ;; deep|deepnocache) echo deepwindows ;; esac; }
for c in "${case_list[@]}"; do
  if [ -z "${TIMES[$c]:-}" ]; then
    printf '| %s | did not come up | | | | | | | | | |\n' "$c"; continue
  fi
  t=$(echo "${TIMES[$c]}" | median); u=$(echo "${CPUS[$c]}" | median); m=$(echo "${RSS[$c]}" | median)
  w=$(same_windows "$c"); same="-"
  if [ -n "$w" ] && [ -n "${TIMES[$w]:-}" ]; then
    same="$(ratio "$t" "$(echo "${TIMES[$w]}" | median)"), $(ratio "$u" "$(echo "${CPUS[$w]}" | median)")"
  fi
  printf '| %s | %.1f | %s | %.1f | %s | %.1f | %s | %s | %s | %s | %s |\n' "$c" "$t" "$(ratio "$t" "$ft")" \
    "$u" "$(ratio "$u" "$fc")" "$(awk -v k="$m" 'BEGIN{print k/1024}')" "$(ratio "$m" "$fr")" "$same" \
    "${IDLE_SW[$c]:--}" "${IDLE_TICKS[$c]:--}" "${IDLE_THREADS[$c]:--}"
done
echo
for c in "${case_list[@]}"; do
  echo "$c times (ms): ${TIMES[$c]:-none}"
  echo "$c CPU (ms): ${CPUS[$c]:-none}"
done
[ -z "${FAILED[*]:-}" ]
