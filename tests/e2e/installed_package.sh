#!/usr/bin/env bash
# The Debian package, unpacked into a scratch root: its files are where a desktop looks
# for them, they pass the desktop's checks, and the installed binary keeps the toolbars
# in ~/.config/vyrelight, never beside itself.
source "$(dirname "$0")/lib.bash"
build=$(cd "$(dirname "$BIN")" && pwd)
command -v cpack >/dev/null && command -v dpkg-shlibdeps >/dev/null || { echo "installed_package: skipped (no cpack or dpkg-dev)"; exit 0; }
cpack -G DEB --config "$build/CPackConfig.cmake" -B "$TMP/pkg" > "$TMP/cpack.log" 2>&1 || fail "cpack failed: $(tail "$TMP/cpack.log")"
deb=$(ls "$TMP"/pkg/vyrelight_*.deb)
dpkg-deb -f "$deb" Depends | grep -q libqt6widgets6 || fail "the package's dependencies were not computed: $(dpkg-deb -f "$deb" Depends)"
root="$TMP/root"
dpkg -x "$deb" "$root"
for f in usr/bin/vyrelight usr/share/applications/vyrelight.desktop usr/share/icons/hicolor/scalable/apps/vyrelight.svg \
         usr/share/metainfo/org.vyrelight.vyrelight.metainfo.xml usr/share/man/man1/vyrelight.1; do
  [ -f "$root/$f" ] || fail "the package has no $f"
done
file "$root/usr/bin/vyrelight" | grep -q "stripped" && ! file "$root/usr/bin/vyrelight" | grep -q "not stripped" ||
  fail "the binary is not stripped"
# A plain install under another prefix strips the binary too.
cmake --install "$build" --prefix "$TMP/prefix" > "$TMP/install.log" || fail "cmake --install failed"
file "$TMP/prefix/bin/vyrelight" | grep -q "not stripped" && fail "cmake --install left the binary unstripped"
[ -f "$TMP/prefix/share/applications/vyrelight.desktop" ] || fail "cmake --install put no menu entry under its prefix"
if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate "$root/usr/share/applications/vyrelight.desktop" || fail "desktop-file-validate"
fi
if command -v appstreamcli >/dev/null; then
  appstreamcli validate --no-net "$root/usr/share/metainfo/org.vyrelight.vyrelight.metainfo.xml" >/dev/null ||
    fail "appstreamcli validate"
fi
grep -q "$("$root/usr/bin/vyrelight" --version | awk '{print $NF}')" "$root/usr/share/man/man1/vyrelight.1" ||
  fail "the man page and --version disagree"

export HOME="$TMP/home"
unset XDG_CONFIG_HOME
mkdir -p "$HOME"
start_x
(cd / && exec "$root/usr/bin/vyrelight") > "$TMP/app.log" 2>&1 &
APP_PID=$!
wait_window Default >/dev/null || fail "the installed binary did not come up"
[ -f "$HOME/.config/vyrelight/Toolbars.cfg" ] || fail "no Toolbars.cfg in ~/.config/vyrelight"
[ -f "$HOME/.config/vyrelight/Default.vtb" ] || fail "no Default.vtb in ~/.config/vyrelight"
[ "$(ls -A "$root/usr/bin")" = vyrelight ] || fail "files were written beside the binary: $(ls -A "$root/usr/bin")"
stop_app
echo "installed_package: passed"
