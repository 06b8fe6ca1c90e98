#!/usr/bin/env bash
# Files as other programs and mishaps leave them: a header saved with a byte order mark
# and trailing blanks, a toolbar file named relative to the data folder (the launcher is
# started from /), a temporary file of a save that was killed, and a caption of a
# million characters on an auto-hide bar. All load without a message; the hover unfolds
# the wide bar to a bounded width at once, and SIGTERM still ends it within a second.
source "$(dirname "$0")/lib.bash"
start_x
d="$TMP/data"
mkdir -p "$d"
# A name of this run alone: should it land in / it is found there and removed.
rel="vyre-e2e-rel-$$.vtb"
{ printf '\xEF\xBB\xBF'; crlf "$CFG_HEADER  " "$DEFAULT_AT_100" \
    "Rel;1500;4500;$rel;;0;0;0;0;-1;0;0;" "Wide;6000;1500;wide.vtb;;0;0;-1;0;-1;-1;0;"; } > "$d/Toolbars.cfg"
write_vtb "$d/$rel" "One;/bin/true;;1;;0;" "Two;/bin/true;;1;;0;"
long=$(head -c 1000000 /dev/zero | tr '\0' 'W')
write_vtb "$d/wide.vtb" "$long;/bin/true;;1;;0;" $(for i in $(seq 39); do echo "B$i;/bin/true;;1;;0;"; done)
echo "half" > "$d/.Toolbars.cfg.tmp-99999-12345-0"
start_app "$d"

id=$(wait_window Rel) || fail "Rel did not come up"
[ -e "/$rel" ] && { rm -f "/$rel"; fail "a toolbar file was made in the current folder"; }
expect_geometry "$id" 300 100 83 28 # two buttons: the file was found in the data folder
wide=$(wait_window Wide) || fail "Wide did not come up"
shown_none "Error|Vyrelight Toolbar v2" || fail "a message came up"
[ -e "$d/.Toolbars.cfg.tmp-99999-12345-0" ] && fail "the stale temporary file is still there"

read -r x y _ _ < <(geometry "$wide")
xdotool mousemove 600 600 mousemove $((x + 6)) $((y + 6))
width() { geometry "$wide" | cut -d' ' -f3; }
unfolded() { [ "$(width)" -gt 100 ]; }
WAIT_TENTHS=40 poll unfolded || fail "the hover did not unfold the wide bar"
# 40 buttons of at most 200 pixels of caption, 8 of padding, handle and frame.
[ "$(width)" -le $((40 * 208 + 40)) ] || fail "the wide bar is $(width) pixels wide"
# Ended while it folds again.
xdotool mousemove 600 600
end_app TERM "the wide bar"
[ "$(head -c 3 "$d/Toolbars.cfg" | od -An -tx1 | tr -d ' ')" = 51756f ] || fail "the header was not written back plain"
[ "$(head -n 1 "$d/Toolbars.cfg")" = "$CFG_HEADER"$'\r' ] || fail "the header kept its blanks"
grep -q "^Rel;1500;4500;$rel;" "$d/Toolbars.cfg" || fail "the relative path was not kept as written"
echo "hostile_files: passed"
