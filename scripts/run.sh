#!/usr/bin/env bash
# Starts the launcher on the user's toolbars, or says how to when there is no display.
set -eu
bin=$1
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "There is no display to show the toolbars on (DISPLAY and WAYLAND_DISPLAY are unset)." >&2
  echo "Run it under a virtual X server instead:" >&2
  echo "  xvfb-run -s \"-screen 0 1280x800x24\" $bin" >&2
  exit 1
fi
# The user's own toolbars, the folder an installed copy uses too: never the build folder,
# which `make clean` removes.
config=${XDG_CONFIG_HOME:-}
case "$config" in /*) ;; *) config=$HOME/.config ;; esac
exec "$bin" --data-dir "$config/vyrelight"
