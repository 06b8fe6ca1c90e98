# Shared by the end-to-end scripts: a private X server, a private home, runtime and
# cache folder, and data folders given to the real binary with --data-dir. Nothing is
# shared with another script, so the scripts run side by side.
set -eu

BIN=${1:?usage: $0 path/to/vyrelight}
# Absolute: the launcher is started from /.
BIN=$(cd "$(dirname "$BIN")" && pwd)/$(basename "$BIN")
TMP=$(mktemp -d)
# A home of the script's own: whatever the launcher, Qt, the file dialogs or the window
# manager keep there (settings, recent places, caches) stays with this run.
export HOME="$TMP/home"
mkdir -p "$HOME"
unset XDG_CONFIG_HOME XDG_DATA_HOME XDG_STATE_HOME
# A runtime folder of the script's own, where a launcher listens for second starts.
export XDG_RUNTIME_DIR="$TMP/run"
mkdir -m 700 "$XDG_RUNTIME_DIR"
# The launcher runs on X; a Wayland session around the tests must not change that.
unset WAYLAND_DISPLAY QT_QPA_PLATFORM
# The launcher keeps decoded icons in the cache folder: the test's own, never the user's.
export XDG_CACHE_HOME="$TMP/cache"
# A session bus, if any, is left alone: the launcher owns no name on it, so scripts that
# share one do not meet there (and without dbus-launch nothing starts a bus of its own).

# The first lines of the launcher's two kinds of file.
CFG_HEADER="Quorrelind's Vyrelight Toolbars v2_[A1]"
VTB_HEADER="Quorrelind's Vyrelight Toolbar v2_[A1]"
# Toolbar 0 with its handle's window at 100,100 pixels.
DEFAULT_AT_100="Default;1500;1500;;;0;0;0;-1;-1;0;0;"
XVFB_PID=""
WM_PID=""
APP_PID=""

cleanup() {
  [ -n "$APP_PID" ] && kill -9 "$APP_PID" 2>/dev/null || true
  if [ -n "$WM_PID" ]; then kill "$WM_PID" 2>/dev/null && wait "$WM_PID" 2>/dev/null || true; fi
  # Waited for: a server still tearing down removes the lock and socket of :N, which
  # the next script's server may already have taken.
  if [ -n "$XVFB_PID" ]; then kill "$XVFB_PID" 2>/dev/null && wait "$XVFB_PID" 2>/dev/null || true; fi
  rm -rf "$TMP"
}
trap cleanup EXIT

# Prints each argument as a line ending in CR LF, as the launcher's files have them.
crlf() { printf '%s\r\n' "$@"; }
# write_cfg FILE LINE...: a Toolbars.cfg of these toolbar lines; write_vtb FILE LINE...:
# a toolbar file of these button lines. Folders are made as needed.
write_cfg() { local f=$1; shift; mkdir -p "$(dirname "$f")"; crlf "$CFG_HEADER" "$@" > "$f"; }
write_vtb() { local f=$1; shift; mkdir -p "$(dirname "$f")"; crlf "$VTB_HEADER" "$@" > "$f"; }

# The stand-in program of tests/e2e/dragsource (the scripts' second argument), also the
# other program that holds the focus. start_source [LIST]: starts it, offering the files
# LIST names, and waits for its window, SOURCE_WIN.
SOURCE=${2:-}
start_source() {
  "${SOURCE:?usage: $0 path/to/vyrelight path/to/vyre_dragsource}" "$@" >> "$TMP/source.log" 2>&1 &
  SOURCE_WIN=$(wait_window vyre-dragsource) || fail "the stand-in program did not come up"
}
# marker FILE: a program (a shell script) that, started, writes its environment to FILE.ran.
marker() { mkdir -p "$(dirname "$1")"; printf '#!/bin/sh\nenv > "$0.ran"\n' > "$1"; chmod 755 "$1"; }

fail() {
  echo "FAIL: $*" >&2
  [ -s "$TMP/app.log" ] && sed 's/^/  launcher: /' "$TMP/app.log" >&2
  exit 1
}

# Polls a command every tenth of a second until it succeeds, for at most $WAIT_TENTHS
# tenths (10 seconds by default); fails when it never does. The pause is a read that
# times out on a pipe nobody writes to: no process is started for it, which counts when
# many scripts poll at once.
exec {PAUSE_FD}<> <(:)
poll() {
  local tries
  for ((tries = ${WAIT_TENTHS:-100}; tries > 0; tries--)); do
    "$@" && return 0
    read -rt 0.1 -u "$PAUSE_FD" || true
  done
  return 1
}

start_x() {
  # Xvfb picks a free display itself and writes its number to fd 3, so runs that
  # overlap never share a server. -noreset: by default the server resets when its last
  # client leaves (the readiness probe below, or a launcher stopped mid-script) and
  # refuses connections meanwhile.
  Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp -noreset 3>"$TMP/display" >"$TMP/xvfb.log" 2>&1 &
  XVFB_PID=$!
  # A whole line: ":1" read before the "0" of ":10" would name another server.
  # The file may not be there yet when this first looks: that is "not yet" too.
  named() { local n; n=$(wc -l < "$TMP/display" 2>/dev/null) || n=0; [ "${n:-0}" -ge 1 ]; }
  poll named || fail "no X server could be started: $(tail -n 5 "$TMP/xvfb.log")"
  export DISPLAY=":$(head -n 1 "$TMP/display")"
  # Ready when it answers, not merely when it has named its display.
  WAIT_TENTHS=50 poll eval "xdpyinfo >/dev/null 2>&1" ||
    fail "the X server on $DISPLAY does not answer: $(tail -n 5 "$TMP/xvfb.log")"
}

# Starts a window manager on the script's own server (VYRE_E2E_WM, else openbox) and
# waits until it has taken the screen: a manager announces itself on the root window
# (_NET_SUPPORTING_WM_CHECK) once it manages windows. WM names the one running.
start_wm() {
  WM=${1:-${VYRE_E2E_WM:-openbox}}
  command -v "$WM" >/dev/null || fail "the window manager $WM is not installed (scripts/deps.sh)"
  case $WM in
    # Its own configuration only: no user's, no session, no background or tray helpers.
    openbox) openbox --config-file /etc/xdg/openbox/rc.xml > "$TMP/wm.log" 2>&1 & ;;
    icewm) ICEWM_PRIVCFG="$TMP/icewm" icewm > "$TMP/wm.log" 2>&1 & ;;
    *) "$WM" > "$TMP/wm.log" 2>&1 & ;;
  esac
  WM_PID=$!
  poll wm_ready || fail "the window manager $WM did not take the screen: $(tail -n 5 "$TMP/wm.log")"
}
wm_ready() {
  kill -0 "$WM_PID" 2>/dev/null || fail "the window manager $WM ended: $(tail -n 5 "$TMP/wm.log")"
  xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id"
}

# start_app DIR [ARG...]: starts the launcher on the data folder DIR (made when missing)
# from /, its output in $TMP/app.log; APP_PID is its process. DIR/vyrelight is left as
# a command for the launcher on that folder: run, it is a second start, which forwards
# its arguments to the running one.
start_app() {
  local dir=$1
  shift
  mkdir -p "$dir"
  printf '#!/bin/sh\nexec "%s" --data-dir "%s" "$@"\n' "$BIN" "$dir" > "$dir/vyrelight"
  chmod 755 "$dir/vyrelight"
  (cd / && exec "$BIN" --data-dir "$dir" "$@") > "$TMP/app.log" 2>&1 &
  APP_PID=$!
}

# start_bar DIR [ARG...]: start_app, then waits for the toolbar Default; BAR is its window.
start_bar() { start_app "$@"; BAR=$(wait_window Default) || fail "the toolbar Default did not come up (line ${BASH_LINENO[0]})"; }

# Starts a window manager too: the X server and the manager most scripts begin with.
start_x_wm() { start_x; start_wm "$@"; }

# Waits until a visible window with this exact name is mapped; prints its id.
wait_window() {
  local name=$1 id=""
  window_found() { id=$(xdotool search --onlyvisible --name "^${name}\$" 2>/dev/null | head -n 1 || true); [ -n "$id" ]; }
  poll window_found && echo "$id"
}
# Passes when no visible window has this exact name; wait_gone polls for it (5 s).
shown_none() { ! xdotool search --onlyvisible --name "^$1\$" >/dev/null 2>&1; }
wait_gone() { WAIT_TENTHS=50 poll shown_none "$1"; }

# The launcher's visible windows, sorted; new_window BEFORE prints one not in BEFORE
# (a menu or a tooltip that has come up).
visible_windows() { xdotool search --onlyvisible --classname vyrelight 2>/dev/null | sort || true; }
new_window() { comm -13 <(echo "$1") <(visible_windows) | head -n 1; }

# The colour of the screen's pixel at x y, as #RRGGBB.
pixel() { import -window root -crop "1x1+$1+$2" -depth 8 txt:- 2>/dev/null | grep -o '#[0-9A-F]\{6\}' | head -n 1; }

# "x y w h" of a window, from xwininfo (absolute position, inner size).
geometry() {
  xwininfo -id "$1" | awk '/Absolute upper-left X/{x=$NF} /Absolute upper-left Y/{y=$NF}
                           /Width:/{w=$NF} /Height:/{h=$NF} END{print x, y, w, h}'
}

# Passes when two numbers differ by at most one pixel.
near() { [ $(( $1 - $2 )) -le 1 ] && [ $(( $2 - $1 )) -le 1 ]; }

expect_geometry() {
  local id=$1 ex=$2 ey=$3 ew=$4 eh=$5
  read -r x y w h < <(geometry "$id")
  near "$x" "$ex" && near "$y" "$ey" && near "$w" "$ew" && near "$h" "$eh" ||
    fail "window $id is at $x,$y size ${w}x$h; expected $ex,$ey size ${ew}x$eh"
}

# end_app SIGNAL WHAT [TENTHS]: sends the signal and fails unless the launcher has gone
# within a second (or TENTHS); STATUS is its exit status.
app_gone() { ! kill -0 "$APP_PID" 2>/dev/null; }
end_app() {
  kill -s "$1" "$APP_PID"
  WAIT_TENTHS=${3:-10} poll app_gone || fail "$2: SIG$1 did not end the launcher within ${3:-10} tenths of a second"
  STATUS=0
  wait "$APP_PID" 2>/dev/null || STATUS=$?
  APP_PID=""
}
stop_app() { end_app TERM "the launcher" 100; }
