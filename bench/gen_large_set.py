#!/usr/bin/env python3
"""Writes the large toolbar set that the benchmarks load.

    gen_large_set.py OUT [--no-icons] [--shape deep]

OUT/set/Toolbars.cfg, OUT/set/Default.vtb   the data folder (copy the launcher beside them)
OUT/bars/Bar001.vtb .. Bar255.vtb           the other toolbars' files (absolute paths)
OUT/icons/icon000.png .. icon399.ico        400 distinct icons, half PNG, half ICO
OUT/layout.txt                              the visible toolbars' names and a free point

256 toolbars of 40 buttons each (every tenth a separator, a few recall buttons), named
Bar000 to Bar255. Sixteen are visible: Bar000 and every sixteenth after it. Twelve of them
lie horizontally in rows down the left of a 1280x800 screen, four stand vertically at its
right edge; some show captions and some hide automatically. The top-left corner of each
visible toolbar (its handle) is left uncovered by the others, and no toolbar comes near
the point written in layout.txt, where the mouse can rest.

--shape deep writes a set of another shape: fewer toolbars with more icons each. 96
toolbars of 40 buttons (the most a toolbar holds; every twentieth a separator), 12
visible (Bar000 and every eighth after it): eight lie horizontally in rows down the left,
half of them with captions, and four stand upright at the right, two of those with
captions. Its icons are 480 PNG files of 16, 24, 32 and 48 pixels, so every button of a
visible toolbar has a picture of its own, and most of them must be scaled to the
button's size.

The output depends on nothing but this script: the same bytes on every run.
"""

import os
import struct
import sys
import zlib

# The shape of the set: the default one, or the deep one (--shape deep).
SHAPES = {
    "large": dict(toolbars=256, buttons=40, icons=400, every=16, separator=10),
    "deep": dict(toolbars=96, buttons=40, icons=480, every=8, separator=20),
}
TOOLBARS = BUTTONS = ICONS = EVERY = SEPARATOR = 0
SHAPE = "large"
TWIPS = 15  # twips per pixel on an ordinary screen
FREE_POINT = (1060, 30)  # pixels, away from every toolbar

CFG_HEADER = "Quorrelind's Vyrelight Toolbars v2_[A1]"
VTB_HEADER = "Quorrelind's Vyrelight Toolbar v2_[A1]"


def colour(n, salt):
    """A colour that differs for every icon number."""
    h = (n * 2654435761 + salt * 40503) & 0xFFFFFF
    return (h >> 16) & 0xFF, (h >> 8) & 0xFF, h & 0xFF


def picture(n, size):
    """RGBA rows of a distinct picture: a frame, a diagonal and a number-dependent fill."""
    fr, fg, fb = colour(n, 1)
    br, bg, bb = colour(n, 2)
    rows = []
    for y in range(size):
        row = bytearray()
        for x in range(size):
            edge = x in (0, size - 1) or y in (0, size - 1)
            corner = (x < 2 or x > size - 3) and (y < 2 or y > size - 3)
            if corner:
                row += bytes((0, 0, 0, 0))  # transparent corners, as real icons have
            elif edge or x == y or (x + n) % 7 == 0:
                row += bytes((fr, fg, fb, 255))
            else:
                row += bytes((br, bg, bb, 255))
        rows.append(bytes(row))
    return rows


def png_bytes(rows):
    size = len(rows)

    def chunk(kind, data):
        return (struct.pack(">I", len(data)) + kind + data
                + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF))

    raw = b"".join(b"\x00" + r for r in rows)
    return (b"\x89PNG\r\n\x1a\n"
            + chunk(b"IHDR", struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(raw, 9))
            + chunk(b"IEND", b""))


def dib_bytes(rows):
    """A 32-bit icon image as stored in .ico: BITMAPINFOHEADER, BGRA bottom-up, AND mask."""
    size = len(rows)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    pixels = bytearray()
    for r in reversed(rows):
        for x in range(size):
            red, green, blue, alpha = r[4 * x:4 * x + 4]
            pixels += bytes((blue, green, red, alpha))
    mask_row = ((size + 31) // 32) * 4
    mask = bytearray()
    for r in reversed(rows):
        bits = bytearray(mask_row)
        for x in range(size):
            if r[4 * x + 3] == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    return header + bytes(pixels) + bytes(mask)


def ico_bytes(n):
    """One icon in two sizes, as icon files usually hold: 16x16 as a bitmap, 32x32 as PNG."""
    images = [(16, dib_bytes(picture(n, 16))), (32, png_bytes(picture(n + 1000, 32)))]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, data in images:
        out += struct.pack("<BBBBHHII", size, size, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    return out + b"".join(data for _, data in images)


def write(path, text):
    with open(path, "wb") as f:
        f.write(text.encode("utf-8"))


def lines(rows):
    return "".join(r + "\r\n" for r in rows)


def icon_path(out, n):
    png = n % 2 == 0 or SHAPE == "deep"
    return os.path.join(out, "icons", "icon%03d.%s" % (n, "png" if png else "ico"))


def icon_bytes(n):
    if SHAPE == "deep":
        return png_bytes(picture(n, (16, 24, 32, 48)[n % 4]))
    return png_bytes(picture(n, 16 + 16 * (n % 4 == 0))) if n % 2 == 0 else ico_bytes(n)


def button_line(out, t, k):
    """Button k (1-based) of toolbar t: every tenth a separator, a few recall buttons,
    the rest programs, documents and folders with an icon each."""
    if k % SEPARATOR == 0:
        return ";;;4;;0;"
    n = (t * BUTTONS + k) % ICONS if SHAPE == "deep" else (t * 37 + k * 11) % ICONS
    icon = icon_path(out, n)
    index = 1  # an ICO file is one icon in two sizes
    if k == 1 and t > 0:
        target = (t + 1) % TOOLBARS or 1
        return "Bar%03d;!RecallTbr>>>;%d;1;%s;%d;" % (target, target, icon, index)
    if k % 5 == 0:
        return "Folder %d-%d;/tmp;;3;%s;%d;" % (t, k, icon, index)
    if k % 3 == 0:
        return "Notes %d-%d;/usr/share/doc/notes-%d.txt;;1;%s;%d;" % (t, k, k, icon, index)
    return "Tool %d-%d;/usr/bin/true;--run %d;1;%s;%d;" % (t, k, k, icon, index)


def layout():
    """Name, top, left (twips), modes and whether shown, for each toolbar."""
    bars = []
    visible = [t for t in range(0, TOOLBARS, EVERY)]
    for t in range(TOOLBARS):
        shown = t in visible
        vertical = captions = autohide = False
        if shown and SHAPE == "deep":
            v = visible.index(t)
            if v < 8:  # rows down the left, handles staggered
                x, y = 10 + 30 * (v % 4), 60 + 80 * v
                captions = v % 2 == 1
                autohide = v == 3
            else:  # columns at the right, each handle above the one before it, so that
                c = v - 8  # no wide captioned column covers the handle of the next
                x, y = 1000 + 60 * c, 10 + 40 * (3 - c)
                vertical = True
                captions = c in (1, 3)
        elif shown:
            v = visible.index(t)
            if v < 12:  # rows down the left, handles staggered
                x, y = 10 + 30 * (v % 4), 60 + 60 * v
                captions = v % 3 == 1
                autohide = v % 4 == 3
            else:  # columns at the right edge
                c = v - 12
                x, y = 1100 + 45 * c, 10 + 0 * c
                vertical = True
                captions = c == 3
                autohide = c == 1
        else:
            x, y = (t * 97) % 1200, (t * 61) % 760
            vertical = t % 5 == 0
            captions = t % 4 == 1
            autohide = t % 6 == 0
        bars.append(dict(name="Bar%03d" % t, top=y * TWIPS, left=x * TWIPS, vertical=vertical,
                         captions=captions, ontop=t % 2 == 0, visible=shown,
                         autohide=autohide, unmoveable=t % 7 == 3))
    return bars


def flag(b):
    return "-1" if b else "0"


def main():
    global TOOLBARS, BUTTONS, ICONS, EVERY, SEPARATOR, SHAPE
    argv = sys.argv[1:]
    if "--shape" in argv:
        at = argv.index("--shape")
        SHAPE = argv[at + 1] if at + 1 < len(argv) else ""
        del argv[at:at + 2]
    args = [a for a in argv if not a.startswith("--")]
    if len(args) != 1 or SHAPE not in SHAPES:
        sys.exit("usage: gen_large_set.py OUT [--no-icons] [--shape deep]")
    shape = SHAPES[SHAPE]
    TOOLBARS, BUTTONS, ICONS = shape["toolbars"], shape["buttons"], shape["icons"]
    EVERY, SEPARATOR = shape["every"], shape["separator"]
    out = os.path.abspath(args[0])
    for sub in ("set", "bars", "icons"):
        os.makedirs(os.path.join(out, sub), exist_ok=True)

    if "--no-icons" not in sys.argv:
        for n in range(ICONS):
            with open(icon_path(out, n), "wb") as f:
                f.write(icon_bytes(n))

    bars = layout()
    cfg = [CFG_HEADER]
    for t, b in enumerate(bars):
        path = "" if t == 0 else os.path.join(out, "bars", "Bar%03d.vtb" % t)
        icon = icon_path(out, t % ICONS)
        cfg.append("%s;%d;%d;%s;%s;%d;%s;%s;%s;%s;%s;%s;" % (
            b["name"], b["top"], b["left"], path, icon, 1, flag(b["vertical"]),
            flag(b["captions"]), flag(b["ontop"]), flag(b["visible"]), flag(b["autohide"]),
            flag(b["unmoveable"])))
        vtb = os.path.join(out, "set", "Default.vtb") if t == 0 else path
        write(vtb, lines([VTB_HEADER] + [button_line(out, t, k) for k in range(1, BUTTONS + 1)]))
    write(os.path.join(out, "set", "Toolbars.cfg"), lines(cfg))

    shown = [b["name"] for b in bars if b["visible"]]
    with open(os.path.join(out, "layout.txt"), "w") as f:
        f.write("visible %d %s\n" % (len(shown), " ".join(shown)))
        f.write("free %d %d\n" % FREE_POINT)


if __name__ == "__main__":
    main()
