#pragma once

// Writes Windows programs and icon libraries, PE and NE, holding icon groups of our own
// pictures, so that the readers are tested on files made here rather than on anyone's
// product. The layout records where the parts of each file lie, so a test can damage
// exactly the part it means to.

#include <QBuffer>
#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QImageWriter>
#include <QtEndian>

#include <algorithm>
#include <cstdint>
#include <initializer_list>
#include <utility>
#include <vector>

namespace fixture {

// The colours the icon tests paint with, far enough apart for `near` to tell them apart.
constexpr QRgb Red = qRgb(200, 0, 0), Green = qRgb(0, 160, 0), Blue = qRgb(0, 0, 200), Yellow = qRgb(220, 220, 0),
               Grey = qRgb(90, 90, 90);

// A square picture of 32 bits per pixel.
struct Picture {
    QByteArray data; // a bitmap as icons keep it (header, colour rows, mask) or a PNG
    int side = 16;
};
using Group = std::vector<Picture>;

inline void put16(QByteArray& b, qsizetype at, std::uint32_t v) { qToLittleEndian(quint16(v), b.data() + at); }
inline void put32(QByteArray& b, qsizetype at, std::uint32_t v) { qToLittleEndian(quint32(v), b.data() + at); }
inline std::uint32_t get32(const QByteArray& b, qsizetype at) { return qFromLittleEndian<quint32>(b.constData() + at); }

// Little-endian fields of `width` bytes (2 or 4), one after another from `at` on.
inline void putAll(QByteArray& b, qsizetype at, int width, std::initializer_list<std::uint32_t> values)
{
    for (const std::uint32_t v : values)
        width == 2 ? put16(b, std::exchange(at, at + 2), v) : put32(b, std::exchange(at, at + 4), v);
}

// A 32-bit bitmap picture of one colour with a clear one-pixel border drawn by the mask.
inline Picture bitmap(int side, QRgb colour)
{
    const int maskStride = ((side + 31) / 32) * 4;
    QByteArray b(40 + side * side * 4 + maskStride * side, '\0');
    putAll(b, 0, 4, {40, std::uint32_t(side), std::uint32_t(2 * side)});
    putAll(b, 12, 2, {1, 32});
    for (int i = 0; i < side * side; ++i)
        put32(b, 40 + i * 4, colour & 0xFFFFFF); // blue, green, red; no alpha: the mask decides
    const qsizetype mask = 40 + side * side * 4;
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x)
            if (x == 0 || y == 0 || x == side - 1 || y == side - 1)
                b[mask + y * maskStride + x / 8] = char(b[mask + y * maskStride + x / 8] | (0x80 >> (x % 8)));
    return {b, side};
}

inline QImage solid(int width, int height, QRgb colour)
{
    QImage image(width, height, QImage::Format_ARGB32);
    image.fill(colour);
    return image;
}

// The image's bytes in format ("png", "jpeg", ...).
inline QByteArray encoded(const QImage& image, const char* format, bool progressive = false)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    writer.setProgressiveScanWrite(progressive);
    writer.write(image);
    return bytes;
}

// A PNG picture of one colour, stored compressed as newer icons are.
inline Picture png(int side, QRgb colour) { return {encoded(solid(side, side, colour), "png"), side}; }

// Whether a drawn pixel is opaque and shows colour, give or take what scaling and JPEG
// make of it.
inline bool near(QRgb a, QRgb b)
{
    return qAbs(qRed(a) - qRed(b)) + qAbs(qGreen(a) - qGreen(b)) + qAbs(qBlue(a) - qBlue(b)) <= 24 && qAlpha(a) == 255;
}

inline void align(QByteArray& b, int to)
{
    while (b.size() % to)
        b.append('\0');
}

// Every picture of the groups, then each group's directory naming its pictures by number
// (counted from 1 across all the groups).
inline std::vector<QByteArray> resources(const std::vector<Group>& groups)
{
    std::vector<QByteArray> out;
    for (const Group& g : groups)
        for (const Picture& p : g)
            out.push_back(p.data);
    std::uint32_t id = 1;
    for (const Group& g : groups) {
        QByteArray d(6 + 14 * qsizetype(g.size()), '\0');
        putAll(d, 2, 2, {1, std::uint32_t(g.size())});
        for (std::size_t i = 0; i < g.size(); ++i) {
            const qsizetype at = 6 + 14 * qsizetype(i);
            put16(d, at, std::uint32_t(g[i].side & 0xFF) * 0x101); // width and height, 0 for 256
            putAll(d, at + 4, 2, {1, 32});
            put32(d, at + 8, std::uint32_t(g[i].data.size()));
            put16(d, at + 12, id++);
        }
        out.push_back(d);
    }
    return out;
}

struct Exe {
    QByteArray bytes;
    qsizetype root = 0;         // PE: the root resource directory; NE: the resource table
    qsizetype groupTypeDir = 0; // PE: the directory of icon groups
    qsizetype firstData = 0;    // PE: the first data entry (of the first picture)
};

// The DOS stub, the PE and COFF headers, the optional header (from 0x58 on) with 16 data
// directories and an empty table of `sections` sections. Gives where that table starts;
// the resources' data directory lies 112 bytes before it.
inline qsizetype peHeaders(QByteArray& b, int sections, bool wide)
{
    const qsizetype table = 0x58 + (wide ? 240 : 224);
    b = QByteArray(table + 40 * qsizetype(sections), '\0');
    b.replace(0, 2, "MZ");
    put32(b, 0x3C, 0x40);
    b.replace(0x40, 2, "PE");
    putAll(b, 0x44, 2, {wide ? 0x8664u : 0x14Cu, std::uint32_t(sections)});
    putAll(b, 0x54, 2, {std::uint32_t(table - 0x58), 0x2102, wide ? 0x20Bu : 0x10Bu});
    put32(b, table - 132, 16); // the number of data directories, just before them
    return table;
}

// A PE library (PE32, or PE32+ when wide) holding the groups, with `padding` bytes of a
// data section before the resources, as a large library has code before them.
inline Exe pe(const std::vector<Group>& groups, bool wide = false, qsizetype padding = 0)
{
    QByteArray b;
    const int sections = padding > 0 ? 2 : 1;
    const qsizetype table = peHeaders(b, sections, wide);
    align(b, 0x200);
    std::uint32_t address = 0x1000;
    if (padding > 0) {
        b.replace(table, 5, ".data");
        putAll(b, table + 8, 4, {std::uint32_t(padding), address, std::uint32_t(padding), std::uint32_t(b.size())});
        b.append(QByteArray(padding, '\x90'));
        align(b, 0x200);
        address += std::uint32_t((padding + 0xFFF) / 0x1000 * 0x1000);
    }

    // The resource section: root, the directory of pictures (when there are any) and that
    // of groups, a name directory per resource, a data entry per resource, then the
    // resources' bytes.
    const std::vector<QByteArray> blobs = resources(groups);
    const qsizetype total = qsizetype(blobs.size());
    const qsizetype pictures = total - qsizetype(groups.size());
    const int types = pictures ? 2 : 1;
    const qsizetype iconDir = 16 + 8 * types;
    const qsizetype groupDir = iconDir + (pictures ? 16 + 8 * pictures : 0);
    const qsizetype nameDirs = groupDir + 16 + 8 * qsizetype(groups.size());
    const qsizetype dataEntries = nameDirs + 24 * total;
    QByteArray r(dataEntries + 16 * total, '\0');
    put16(r, 14, std::uint32_t(types));
    if (pictures)
        putAll(r, 16, 4, {3, 0x80000000u | std::uint32_t(iconDir)});
    putAll(r, 16 + 8 * (types - 1), 4, {14, 0x80000000u | std::uint32_t(groupDir)});
    for (qsizetype i = 0; i < total; ++i) {
        const qsizetype dir = i < pictures ? iconDir : groupDir;
        const qsizetype slot = i < pictures ? i : i - pictures;
        const qsizetype name = nameDirs + 24 * i;
        put16(r, dir + 14, std::uint32_t(slot + 1)); // its directory's count, so far
        putAll(r, dir + 16 + 8 * slot, 4, {std::uint32_t(slot + 1), 0x80000000u | std::uint32_t(name)});
        put16(r, name + 14, 1);
        putAll(r, name + 16, 4, {0x409, std::uint32_t(dataEntries + 16 * i)});
        align(r, 4);
        putAll(r, dataEntries + 16 * i, 4, {address + std::uint32_t(r.size()), std::uint32_t(blobs[std::size_t(i)].size())});
        r.append(blobs[std::size_t(i)]);
    }
    align(r, 0x200);
    const qsizetype section = b.size();
    const qsizetype s = table + 40 * (sections - 1);
    b.replace(s, 5, ".rsrc");
    putAll(b, s + 8, 4, {std::uint32_t(r.size()), address, std::uint32_t(r.size()), std::uint32_t(section)});
    putAll(b, table - 112, 4, {address, std::uint32_t(r.size())});
    return {b + r, section, section + groupDir, section + dataEntries};
}

// A 16-bit NE icon library holding the groups.
inline Exe ne(const std::vector<Group>& groups)
{
    const std::vector<QByteArray> blobs = resources(groups);
    const qsizetype total = qsizetype(blobs.size());
    const qsizetype pictures = total - qsizetype(groups.size());
    constexpr int Shift = 4;
    constexpr qsizetype Table = 0x80;
    const qsizetype groupType = 2 + 8 + 12 * pictures;
    const qsizetype tableSize = groupType + 8 + 12 * qsizetype(groups.size()) + 2;
    QByteArray b(Table + tableSize + 1, '\0'); // the table, then an empty list of resident names
    b.replace(0, 2, "MZ");
    put32(b, 0x3C, 0x40);
    b.replace(0x40, 2, "NE");
    putAll(b, 0x40 + 0x24, 2, {std::uint32_t(Table - 0x40), std::uint32_t(Table - 0x40 + tableSize)});
    putAll(b, Table, 2, {Shift, 0x8003, std::uint32_t(pictures)});
    putAll(b, Table + groupType, 2, {0x800E, std::uint32_t(groups.size())});
    for (qsizetype i = 0; i < total; ++i) {
        const qsizetype slot = i < pictures ? i : i - pictures;
        const QByteArray& data = blobs[std::size_t(i)];
        align(b, 1 << Shift);
        putAll(b, Table + (i < pictures ? 2 : groupType) + 8 + 12 * slot, 2,
               {std::uint32_t(b.size() >> Shift), std::uint32_t((data.size() + (1 << Shift) - 1) >> Shift), 0x1C30,
                0x8000 | std::uint32_t(slot + 1)});
        b.append(data);
    }
    align(b, 1 << Shift);
    return {b, Table};
}

// A PE file built to cost: `sections` sections, none holding the resources' data, and
// an icon-group type whose `names` name directories each lead to a language directory
// claiming about 65,000 entries. The language directories overlap, so the file stays
// small while every entry of every one of them points at a data entry no section holds.
inline QByteArray costlyPe(int sections, int names)
{
    QByteArray b;
    const qsizetype table = peHeaders(b, sections, false);
    constexpr std::uint32_t Base = 0x10000000;
    put32(b, table - 112, Base);
    // Every section: one byte at the resources, at an address of its own.
    for (int i = 0; i < sections; ++i)
        putAll(b, table + 40 * qsizetype(i) + 12, 4,
               {Base + 0x1000 * std::uint32_t(i), i == 0 ? 0x7FFFFFFFu : 1u, std::uint32_t(b.size())});
    // The data entry every language entry names lies at 65,000 (its low and high halves
    // are also the count a language directory finds in the entry before its own).
    constexpr std::uint32_t Data = 65000;
    constexpr qsizetype NameDir = 24;
    const qsizetype languages = NameDir + 16 + 8 * qsizetype(names);
    const qsizetype size = std::max<qsizetype>(languages + 8 * (qsizetype(names) + 65001), Data + 16);
    QByteArray r(size, '\0');
    put16(r, 14, 1);
    putAll(r, 16, 4, {14, 0x80000000u | NameDir});
    put16(r, NameDir + 14, std::uint32_t(names));
    for (int i = 0; i < names; ++i)
        putAll(r, NameDir + 16 + 8 * i, 4, {std::uint32_t(i + 1), 0x80000000u | std::uint32_t(languages + 8 * i)});
    for (qsizetype at = languages; at + 8 <= size; at += 8)
        putAll(r, at, 4, {0x409, Data});
    return b + r;
}

// An icon file of `count` directory entries, each naming one of `pictures` (in turn).
inline QByteArray icoNaming(int count, const std::vector<QByteArray>& pictures)
{
    QByteArray b(6 + 16 * qsizetype(count), '\0');
    putAll(b, 2, 2, {1, std::uint32_t(count)});
    for (std::size_t k = 0; k < pictures.size(); ++k) {
        for (qsizetype at = 6 + 16 * qsizetype(k); at < 6 + 16 * qsizetype(count); at += 16 * qsizetype(pictures.size())) {
            put16(b, at + 6, 32); // width and height 0: 256 px
            putAll(b, at + 8, 4, {std::uint32_t(pictures[k].size()), std::uint32_t(b.size())});
        }
        b.append(pictures[k]);
    }
    return b;
}

} // namespace fixture

