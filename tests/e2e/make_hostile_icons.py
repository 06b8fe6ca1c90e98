#!/usr/bin/env python3
"""Writes icon files built to cost or to block, for the launcher to be started on:
   make_hostile_icons.py KIND PATH [SIZES...]
KIND is one of: costly-pe, ico-one-damaged, svg-pipe, jpeg-scans, themes, folder; the
sizes, when given, replace the defaults (the sizes of the cases that once froze it)."""
import os
import struct
import subprocess
import sys
import zlib


def p16(b, at, v):
    b[at:at + 2] = struct.pack('<H', v & 0xFFFF)


def p32(b, at, v):
    b[at:at + 4] = struct.pack('<I', v & 0xFFFFFFFF)


def costly_pe(path, sections=0xFFFF, names=0xFFFF, data=65000):
    # Every section starts at its own address; the icon-group type has `names` names,
    # each leading to a language directory that claims `data` entries, all overlapping,
    # and every entry names a data entry that no section holds.
    b = bytearray(0x40)
    b[0:2] = b'MZ'
    p32(b, 0x3C, 0x40)
    b += b'PE\0\0'
    coff = bytearray(20)
    p16(coff, 0, 0x14C)
    p16(coff, 2, sections)
    p16(coff, 16, 224)
    b += coff
    opt = len(b)
    b += bytearray(224)
    p16(b, opt, 0x10B)
    p32(b, opt + 92, 16)
    table = len(b)
    b += bytearray(40 * sections)
    res = len(b)
    base = 0x10000000
    p32(b, opt + 92 + 4 + 16, base)
    b[table:res] = b''.join(bytes(12) + struct.pack('<III', base + 0x1000 * i, 0x7FFFFFFF if i == 0 else 1, res)
                            + bytes(16) for i in range(sections))
    name_dir = 24
    langs = name_dir + 16 + 8 * names
    size = max(langs + 8 * (names + data + 1), data + 16)
    r = bytearray(size)
    p16(r, 14, 1)
    p32(r, 16, 14)
    p32(r, 20, 0x80000000 | name_dir)
    p16(r, name_dir + 14, names)
    r[name_dir + 16:langs] = b''.join(struct.pack('<II', i + 1, 0x80000000 | (langs + 8 * i)) for i in range(names))
    r[langs:] = struct.pack('<II', 0x409, data) * ((size - langs) // 8) + bytes((size - langs) % 8)
    open(path, 'wb').write(b + r)


def png(side, rows):
    raw = b''.join(b'\0' + row for row in rows)
    chunk = lambda kind, data: (struct.pack('>I', len(data)) + kind + data
                                + struct.pack('>I', zlib.crc32(kind + data) & 0xFFFFFFFF))
    return (b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', struct.pack('>IIBBBBB', side, side, 8, 6, 0, 0, 0))
            + chunk(b'IDAT', zlib.compress(raw, 1)) + chunk(b'IEND', b''))


def ico_one_damaged(path, count=2000):
    # A 256-px PNG of noise cut before its last rows, named by every entry.
    rows = [bytes((x * 7 + y * 13 + (x ^ y)) & 0xFF for x in range(256 * 4)) for y in range(256)]
    picture = png(256, rows)
    picture = picture[:len(picture) * 3 // 4]
    b = bytearray(6 + 16 * count)
    p16(b, 2, 1)
    p16(b, 4, count)
    for i in range(count):
        at = 6 + 16 * i
        p16(b, at + 6, 32)
        p32(b, at + 8, len(picture))
        p32(b, at + 12, 6 + 16 * count)
    open(path, 'wb').write(bytes(b) + picture)


def svg_pipe(path):
    pipe = path + '.pipe'
    if not os.path.exists(pipe):
        os.mkfifo(pipe)
    open(path, 'w').write(
        "<svg xmlns='http://www.w3.org/2000/svg' xmlns:xlink='http://www.w3.org/1999/xlink' width='16' height='16'>"
        "<image width='16' height='16' xlink:href='%s'/></svg>\n" % pipe)


def jpeg_scans(path, scans=3000):
    # A real progressive JPEG whose smallest scan (with the tables before it) is repeated.
    src = subprocess.run(['convert', '-size', '512x512', 'gradient:', '-interlace', 'JPEG', '-quality', '40', 'jpeg:-'],
                         check=True, capture_output=True).stdout
    segments, at = [], 2
    while at < len(src):
        marker = src[at + 1]
        if marker == 0xD9:
            break
        length = struct.unpack('>H', src[at + 2:at + 4])[0]
        end = at + 2 + length
        if marker == 0xDA:
            while not (src[end] == 0xFF and src[end + 1] != 0 and not 0xD0 <= src[end + 1] <= 0xD7):
                end += 1
        segments.append(src[at:end])
        at = end
    last = min((i for i, s in enumerate(segments) if s[1] == 0xDA), key=lambda i: len(segments[i]))
    first = last
    while first > 0 and segments[first - 1][1] == 0xC4:
        first -= 1
    head = b''.join(segments[:last + 1])
    again = b''.join(segments[first:last + 1])
    open(path, 'wb').write(b'\xFF\xD8' + head + again * scans + b'\xFF\xD9')


def themes(folder, count=31, names=100000):
    # A chain of themes, each naming the next and then `names` themes that do not exist.
    for i in range(count):
        name = 'hostile%d' % i
        os.makedirs(os.path.join(folder, name, 'apps'), exist_ok=True)
        nxt = 'hostile%d' % (i + 1) if i + 1 < count else 'hicolor'
        junk = ','.join('missing%d-%d' % (i, k) for k in range(names))
        open(os.path.join(folder, name, 'index.theme'), 'w').write(
            '[Icon Theme]\nName=%s\nInherits=%s,%s\nDirectories=apps\n\n[apps]\nSize=16\n' % (name, nxt, junk))


def folder(path, count=65000):
    os.makedirs(path, exist_ok=True)
    for i in range(count):
        open(os.path.join(path, '%05d.png' % i), 'wb').close()


kind, target = sys.argv[1], sys.argv[2]
sizes = [int(n) for n in sys.argv[3:]]
{'costly-pe': costly_pe, 'ico-one-damaged': ico_one_damaged, 'svg-pipe': svg_pipe, 'jpeg-scans': jpeg_scans,
 'themes': themes, 'folder': folder}[kind](target, *sizes)
