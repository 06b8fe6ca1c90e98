#!/usr/bin/env bash
# The instance socket under a flood: the real launcher under its own Xvfb, with the
# descriptor limit of a usual session (1024), and 1,100 connections that never ask.
# Reports the launcher's CPU use while flooded, how long a second start takes to bring
# its configuration window forward, how long SIGTERM takes and the exit status, and
# whether Toolbars.cfg was saved.
#   [FD_LIMIT=n] bash bench/socket_flood.sh build/vyrelight [connections]
set -eu
BIN=$(readlink -f "${1:?usage: $0 path/to/vyrelight [connections]}")
COUNT=${2:-1100}
TMP=$(mktemp -d)
export XDG_RUNTIME_DIR="$TMP/run" XDG_CACHE_HOME="$TMP/cache"
mkdir -m 700 "$XDG_RUNTIME_DIR"
unset WAYLAND_DISPLAY QT_QPA_PLATFORM
XVFB=""; APP=""; FLOOD=""
cleanup() {
  for p in $FLOOD $APP; do kill -9 "$p" 2>/dev/null || true; done
  [ -n "$XVFB" ] && { kill "$XVFB" 2>/dev/null; wait "$XVFB" 2>/dev/null || true; }
  rm -rf "$TMP"
}
trap cleanup EXIT
now() { date +%s%N; }
ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }

Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp -noreset 3>"$TMP/display" >/dev/null 2>&1 &
XVFB=$!
until [ -s "$TMP/display" ]; do sleep 0.05; done
export DISPLAY=":$(head -n 1 "$TMP/display")"
until xdpyinfo >/dev/null 2>&1; do sleep 0.05; done

data="$TMP/data"
mkdir -p "$data"
printf "Quorrelind's Vyrelight Toolbars v2_[A1]\r\nDefault;1500;1500;;;0;0;0;-1;-1;0;0;\r\n" > "$data/Toolbars.cfg"
prlimit --nofile="${FD_LIMIT:-1024}:${FD_LIMIT:-1024}" "$BIN" --data-dir "$data" > "$TMP/app.log" 2>&1 &
APP=$!
for _ in $(seq 100); do xdotool search --onlyvisible --name '^Default$' >/dev/null 2>&1 && break; sleep 0.1; done
sock=$(find "$XDG_RUNTIME_DIR" "$XDG_CACHE_HOME" -name 'vyrelight-*.sock' 2>/dev/null | head -n 1)
[ -n "$sock" ] || { echo "no socket"; exit 1; }

# The flood: connections that are held open and never send a byte.
python3 - "$sock" "$COUNT" > "$TMP/flood.log" 2>&1 <<'PY' &
import signal, socket, sys, time
signal.signal(signal.SIGALRM, lambda *_: (_ for _ in ()).throw(TimeoutError()))
path, count = sys.argv[1], int(sys.argv[2])
held, refused = [], 0
for _ in range(count):
    s = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
    # Blocking: a full backlog makes connect wait until the launcher accepts.
    signal.setitimer(signal.ITIMER_REAL, 0.5)
    try:
        s.connect(path)
    except OSError:
        refused += 1
        s.close()
        continue
    finally:
        signal.setitimer(signal.ITIMER_REAL, 0)
    held.append(s)
print(f"connected {len(held)}, refused {refused}", flush=True)
time.sleep(3600)
PY
FLOOD=$!
for _ in $(seq 100); do [ -s "$TMP/flood.log" ] && break; sleep 0.1; done
sleep 1
fds() { ls "/proc/$APP/fd" | wc -l; }
echo "flood: $(cat "$TMP/flood.log"); launcher holds $(fds) descriptors"

hz=$(getconf CLK_TCK)
t0=$(ticks "$APP"); sleep 5; t1=$(ticks "$APP")
echo "CPU while flooded: $(( (t1 - t0) * 1000 / hz )) ms in 5 s"

start=$(now)
timeout 10 "$BIN" --data-dir "$data" > "$TMP/second.log" 2>&1 &
second=$!
up=""
for _ in $(seq 200); do
  if xdotool search --onlyvisible --name '^Vyrelight Toolbar v2$' >/dev/null 2>&1; then up=$(now); break; fi
  sleep 0.02
done
second_status=0; wait "$second" || second_status=$?
if [ -n "$up" ]; then
  echo "second start: configuration window up after $(( (up - start) / 1000000 )) ms, second start ended $second_status"
else
  echo "second start: NO configuration window within 4 s ($(tr '\n' ' ' < "$TMP/second.log"))"
fi
t0=$(ticks "$APP"); sleep 3; t1=$(ticks "$APP")
echo "CPU after: $(( (t1 - t0) * 1000 / hz )) ms in 3 s; launcher holds $(fds) descriptors"

before=$(stat -c %y "$data/Toolbars.cfg" 2>/dev/null || echo none)
sleep 0.01
start=$(now)
kill -TERM "$APP"
status=0
wait "$APP" || status=$?
end=$(now)
APP=""
after=$(stat -c %y "$data/Toolbars.cfg" 2>/dev/null || echo none)
echo "SIGTERM: ended after $(( (end - start) / 1000000 )) ms with status $status; Toolbars.cfg $([ "$before" != "$after" ] && echo rewritten || echo NOT rewritten)"
grep -i "too many\|while ending\|rests" "$TMP/app.log" | sort | uniq -c | head -5 || true
echo "socket left behind: $(find "$XDG_RUNTIME_DIR" "$XDG_CACHE_HOME" -name "vyrelight-*.sock" 2>/dev/null | wc -l)"
