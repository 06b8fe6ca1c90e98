#!/usr/bin/env bash
# The Debian package that `make package` built beside the binary, unpacked into a scratch
# root: its files are where a desktop looks for them, its menu entry and metainfo are
# the ones the test suite validates, and the installed binary keeps the toolbars in
# ~/.config/vyrelight, never beside itself. Run by `make package-check` (CI), not by
# CTest: it needs the package built first.
source "$(dirname "$0")/lib.bash"
build=$(cd "$(dirname "$BIN")" && pwd)
source_dir=$(cd "$(dirname "$0")/../.." && pwd)
deb=$(ls -t "$build"/vyrelight_*.deb 2>/dev/null | head -n 1)
[ -n "$deb" ] || fail "no package in $build: run make package first"
dpkg-deb -f "$deb" Depends | grep -q libqt6widgets6 || fail "the package's dependencies were not computed: $(dpkg-deb -f "$deb" Depends)"
root="$TMP/root"
dpkg -x "$deb" "$root"
for f in usr/bin/vyrelight usr/share/applications/vyrelight.desktop usr/share/icons/hicolor/scalable/apps/vyrelight.svg \
         usr/share/metainfo/org.vyrelight.vyrelight.metainfo.xml usr/share/man/man1/vyrelight.1; do
  [ -f "$root/$f" ] || fail "the package has no $f"
done
# The printer dialog's module, where the program looks from its own folder.
nm -D "$root/usr/bin/../lib/vyrelight/libvyre_printer.so" | grep -q " T vyre_choose_printer_v1$" ||
  fail "the package has no printer module the program can load"
cmp "$source_dir/share/vyrelight.desktop" "$root/usr/share/applications/vyrelight.desktop" ||
  fail "the packaged menu entry is not the one validated"
cmp "$build/share/org.vyrelight.vyrelight.metainfo.xml" "$root/usr/share/metainfo/org.vyrelight.vyrelight.metainfo.xml" ||
  fail "the packaged metainfo is not the one validated"
file "$root/usr/bin/vyrelight" | grep -q "stripped" && ! file "$root/usr/bin/vyrelight" | grep -q "not stripped" ||
  fail "the binary is not stripped"
# A plain install under another prefix strips the binary too.
cmake --install "$build" --prefix "$TMP/prefix" > "$TMP/install.log" || fail "cmake --install failed"
file "$TMP/prefix/bin/vyrelight" | grep -q "not stripped" && fail "cmake --install left the binary unstripped"
[ -f "$TMP/prefix/share/applications/vyrelight.desktop" ] || fail "cmake --install put no menu entry under its prefix"
grep -q "$("$root/usr/bin/vyrelight" --version | awk '{print $NF}')" "$root/usr/share/man/man1/vyrelight.1" ||
  fail "the man page and --version disagree"

start_x
(cd / && exec "$root/usr/bin/vyrelight") > "$TMP/app.log" 2>&1 &
APP_PID=$!
wait_window Default >/dev/null || fail "the installed binary did not come up"
[ -f "$HOME/.config/vyrelight/Toolbars.cfg" ] || fail "no Toolbars.cfg in ~/.config/vyrelight"
[ -f "$HOME/.config/vyrelight/Default.vtb" ] || fail "no Default.vtb in ~/.config/vyrelight"
[ "$(ls -A "$root/usr/bin")" = vyrelight ] || fail "files were written beside the binary: $(ls -A "$root/usr/bin")"
stop_app
echo "installed_package: passed"
