#include "formats/IcoParser.h"

#include <algorithm>
#include <tuple>

namespace ico {

namespace {

constexpr std::size_t DirHeader = 6;
constexpr std::size_t DirEntry = 16;
constexpr std::size_t InfoHeaderMin = 40;

std::uint16_t u16(std::span<const std::uint8_t> b, std::size_t at)
{
    return static_cast<std::uint16_t>(b[at] | (b[at + 1] << 8));
}

std::uint32_t u32(std::span<const std::uint8_t> b, std::size_t at)
{
    return static_cast<std::uint32_t>(b[at]) | (static_cast<std::uint32_t>(b[at + 1]) << 8)
        | (static_cast<std::uint32_t>(b[at + 2]) << 16) | (static_cast<std::uint32_t>(b[at + 3]) << 24);
}

std::int32_t s32(std::span<const std::uint8_t> b, std::size_t at)
{
    return static_cast<std::int32_t>(u32(b, at));
}

int depthOfColourCount(int colours)
{
    if (colours == 0)
        return 0;
    int depth = 1;
    while ((1 << depth) < colours && depth < 8)
        ++depth;
    return depth;
}

// Bytes of one row of w pixels at bpp bits, padded to 32 bits.
std::size_t stride(std::size_t w, std::size_t bpp)
{
    return ((w * bpp + 31) / 32) * 4;
}

} // namespace

bool isPng(std::span<const std::uint8_t> data)
{
    static constexpr std::uint8_t signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    return data.size() >= 8 && std::equal(signature, signature + 8, data.begin());
}

std::vector<Entry> readDirectory(std::span<const std::uint8_t> file)
{
    std::vector<Entry> entries;
    if (file.size() < DirHeader)
        return entries;
    const std::uint16_t type = u16(file, 2);
    if (u16(file, 0) != 0 || (type != 1 && type != 2))
        return entries;
    const std::size_t count = u16(file, 4);
    if (count == 0 || DirHeader + count * DirEntry > file.size())
        return entries;

    entries.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t at = DirHeader + i * DirEntry;
        Entry e;
        e.width = file[at] == 0 ? 256 : file[at];
        e.height = file[at + 1] == 0 ? 256 : file[at + 1];
        // Cursors keep their hot spot where icons keep planes and depth.
        e.bitCount = type == 1 ? u16(file, at + 6) : 0;
        if (e.bitCount == 0)
            e.bitCount = depthOfColourCount(file[at + 2]);
        e.size = u32(file, at + 8);
        e.offset = u32(file, at + 12);
        // The data must lie inside the file, after the directory.
        if (e.offset < DirHeader + count * DirEntry || e.offset > file.size() || e.size > file.size() - e.offset)
            continue;
        const auto data = file.subspan(e.offset, e.size);
        e.png = isPng(data);
        if (!e.png && e.size < InfoHeaderMin)
            continue;
        entries.push_back(e);
    }
    return entries;
}

std::vector<std::size_t> preferenceOrder(const std::vector<Entry>& entries, int side)
{
    std::vector<std::size_t> order(entries.size());
    for (std::size_t i = 0; i < order.size(); ++i)
        order[i] = i;
    const auto key = [&](std::size_t i) {
        const Entry& e = entries[i];
        const int s = std::max(e.width, e.height);
        const bool smaller = s < side;
        return std::make_tuple(smaller, smaller ? side - s : s - side, -e.bitCount, i);
    };
    std::sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) { return key(a) < key(b); });
    return order;
}

Picture decodeBitmap(std::span<const std::uint8_t> data)
{
    Picture out;
    if (data.size() < InfoHeaderMin)
        return out;
    const std::uint32_t headerSize = u32(data, 0);
    const std::int32_t width = s32(data, 4);
    const std::int32_t doubleHeight = s32(data, 8);
    const std::uint16_t bpp = u16(data, 14);
    const std::uint32_t compression = u32(data, 16);
    std::uint32_t colours = u32(data, 32);

    // Icon bitmaps are bottom-up and twice as high as the picture: colour rows, then the
    // AND mask. Only uncompressed data is valid in an icon.
    if (headerSize < InfoHeaderMin || headerSize > data.size() || compression != 0)
        return out;
    if (width <= 0 || width > MaxSide || doubleHeight <= 0 || doubleHeight > 2 * MaxSide)
        return out;
    if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 24 && bpp != 32)
        return out;
    const std::size_t w = static_cast<std::size_t>(width);
    const std::size_t h = static_cast<std::size_t>(doubleHeight) / 2;
    if (h == 0)
        return out;

    std::size_t at = headerSize;
    std::span<const std::uint8_t> palette;
    if (bpp <= 8) {
        const std::uint32_t full = 1u << bpp;
        if (colours == 0)
            colours = full;
        if (colours > full)
            return out;
        // A palette cut short by the file end cannot be trusted with the rows after it.
        if (data.size() - at < colours * 4u)
            return out;
        palette = data.subspan(at, colours * 4u);
        at += colours * 4u;
    }

    const std::size_t xorStride = stride(w, bpp);
    const std::size_t andStride = stride(w, 1);
    if (data.size() - at < xorStride * h)
        return out;
    const auto xorRows = data.subspan(at, xorStride * h);
    at += xorStride * h;
    // Some writers leave the mask out of 32-bit pictures: the alpha channel is enough.
    std::span<const std::uint8_t> andRows;
    if (data.size() - at >= andStride * h)
        andRows = data.subspan(at, andStride * h);
    else if (bpp != 32)
        return out;

    out.width = static_cast<int>(w);
    out.height = static_cast<int>(h);
    out.pixels.assign(w * h, 0);

    bool anyAlpha = false;
    for (std::size_t y = 0; y < h; ++y) {
        const auto row = xorRows.subspan((h - 1 - y) * xorStride, xorStride);
        std::uint32_t* line = out.pixels.data() + y * w;
        for (std::size_t x = 0; x < w; ++x) {
            std::uint32_t argb = 0;
            if (bpp == 32) {
                const std::size_t p = x * 4;
                argb = (static_cast<std::uint32_t>(row[p + 3]) << 24) | (row[p + 2] << 16) | (row[p + 1] << 8) | row[p];
                anyAlpha = anyAlpha || row[p + 3] != 0;
            } else if (bpp == 24) {
                const std::size_t p = x * 3;
                argb = 0xFF000000u | (row[p + 2] << 16) | (row[p + 1] << 8) | row[p];
            } else {
                const std::size_t bit = x * bpp;
                const unsigned shift = 8 - bpp - (bit % 8);
                const std::size_t index = (row[bit / 8] >> shift) & ((1u << bpp) - 1);
                if (index < colours) {
                    const std::size_t p = index * 4;
                    argb = 0xFF000000u | (palette[p + 2] << 16) | (palette[p + 1] << 8) | palette[p];
                } else {
                    argb = 0xFF000000u; // an index past a short palette: black, as the system draws it
                }
            }
            line[x] = argb;
        }
    }

    // The mask decides transparency unless a 32-bit picture carries real alpha. Where
    // the mask is set the colour is XORed onto the background; on a transparent picture
    // that is simply clear.
    const bool useMask = bpp != 32 || !anyAlpha;
    if (useMask) {
        for (std::size_t y = 0; y < h; ++y) {
            std::uint32_t* line = out.pixels.data() + y * w;
            if (andRows.empty()) {
                for (std::size_t x = 0; x < w; ++x)
                    line[x] |= 0xFF000000u;
                continue;
            }
            const auto mask = andRows.subspan((h - 1 - y) * andStride, andStride);
            for (std::size_t x = 0; x < w; ++x) {
                const bool clear = (mask[x / 8] >> (7 - x % 8)) & 1;
                line[x] = clear ? 0u : (line[x] | 0xFF000000u);
            }
        }
    }
    return out;
}

} // namespace ico
