#!/usr/bin/env bash
# Installs the Debian 12 packages that building, running and testing need.
# As root it runs apt-get itself; otherwise it prints the line to run.
set -eu
packages=(
  build-essential cmake ninja-build pkg-config
  clang libclang-rt-14-dev
  # libqt6svg6 holds the "svg" image-format plugin SVG icons are read through.
  qt6-base-dev libxcb1-dev libfontconfig-dev libqt6svg6 qt6-image-formats-plugins libgl-dev libglib2.0-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  xvfb xauth xdotool x11-utils imagemagick fonts-dejavu-core
  # Packaging and checking what is installed: dpkg-shlibdeps (with file) computes the
  # package's dependencies; the menu entry and metainfo validators; xrandr for screens
  # that change size under Xvfb.
  dpkg-dev file desktop-file-utils appstream x11-xserver-utils
  # Window managers the end-to-end tests run under: openbox, and icewm as a second one.
  openbox icewm
  # A headless Wayland compositor with XWayland, for running in a Wayland session.
  weston xwayland
  # The accessibility bus and a client of it, for reading the launcher as a screen
  # reader does: a private session bus (dbus-run-session), the bus itself, Python's
  # bindings of its client library.
  dbus-daemon dbus-bin at-spi2-core python3-gi gir1.2-atspi-2.0
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
if [ "$(id -u)" -ne 0 ]; then
  echo "Missing packages. Install them with:" >&2
  echo "  sudo apt-get update && sudo apt-get install -y ${missing[*]}" >&2
  exit 1
fi
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq --no-install-recommends "${missing[@]}"
