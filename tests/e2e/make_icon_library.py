#!/usr/bin/env python3
"""Writes a PE32 icon library: one icon group per colour given, each a single 16x16
32-bit bitmap of that colour, laid out as a linker lays out resources.

    make_icon_library.py OUT.dll RRGGBB [RRGGBB ...]
"""
import struct
import sys


def bitmap(rgb):
    r, g, b = (int(rgb[i:i + 2], 16) for i in (0, 2, 4))
    header = struct.pack('<IiiHHIIiiII', 40, 16, 32, 1, 32, 0, 0, 0, 0, 0, 0)
    return header + bytes([b, g, r, 255]) * 256 + bytes(4 * 16)  # colour rows, clear mask


def group(picture, ident):
    return struct.pack('<HHH', 0, 1, 1) + struct.pack('<BBBBHHIH', 16, 16, 0, 0, 1, 32, len(picture), ident)


def main(out, colours):
    pictures = [bitmap(c) for c in colours]
    groups = [group(p, i + 1) for i, p in enumerate(pictures)]
    blobs = pictures + groups
    n = len(colours)
    address = 0x1000
    root, icon_dir = 0, 16 + 2 * 8
    group_dir = icon_dir + 16 + 8 * n
    names = group_dir + 16 + 8 * n
    entries = names + 24 * 2 * n
    res = bytearray(entries + 16 * 2 * n)
    struct.pack_into('<HH', res, root + 12, 0, 2)
    struct.pack_into('<II', res, root + 16, 3, 0x80000000 | icon_dir)
    struct.pack_into('<II', res, root + 24, 14, 0x80000000 | group_dir)
    for d in (icon_dir, group_dir):
        struct.pack_into('<HH', res, d + 12, 0, n)
    for i in range(2 * n):
        d, slot = (icon_dir, i) if i < n else (group_dir, i - n)
        name = names + 24 * i
        struct.pack_into('<II', res, d + 16 + 8 * slot, slot + 1, 0x80000000 | name)
        struct.pack_into('<HHII', res, name + 12, 0, 1, 0x409, entries + 16 * i)
    for i, blob in enumerate(blobs):
        while len(res) % 4:
            res.append(0)
        struct.pack_into('<II', res, entries + 16 * i, address + len(res), len(blob))
        res += blob
    while len(res) % 0x200:
        res.append(0)

    head = bytearray(0x40)
    head[0:2] = b'MZ'
    struct.pack_into('<I', head, 0x3C, 0x40)
    head += b'PE\0\0' + struct.pack('<HHIIIHH', 0x14C, 1, 0, 0, 0, 224, 0x2102)
    optional = bytearray(224)
    struct.pack_into('<H', optional, 0, 0x10B)
    struct.pack_into('<I', optional, 92, 16)
    struct.pack_into('<II', optional, 96 + 16, address, len(res))
    head += optional
    section = bytearray(40)
    section[0:5] = b'.rsrc'
    raw = (len(head) + 40 + 0x1FF) // 0x200 * 0x200
    struct.pack_into('<IIII', section, 8, len(res), address, len(res), raw)
    head += section
    head += bytes(raw - len(head))
    with open(out, 'wb') as f:
        f.write(head + res)


if __name__ == '__main__':
    main(sys.argv[1], sys.argv[2:])
