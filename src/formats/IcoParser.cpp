#include "formats/IcoParser.h"

#include <algorithm>
#include <optional>
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

// Where the parts of an icon's bitmap lie, once checked against the data's end.
struct BitmapLayout {
    std::size_t w{};
    std::size_t h{};
    std::uint16_t bpp{};
    std::uint32_t colours{};
    std::span<const std::uint8_t> palette;
    std::size_t xorStride{};
    std::span<const std::uint8_t> xorRows;
    std::size_t andStride{};
    std::span<const std::uint8_t> andRows; // empty: a 32-bit picture without a mask
};

std::optional<BitmapLayout> bitmapLayout(std::span<const std::uint8_t> data)
{
    if (data.size() < InfoHeaderMin)
        return std::nullopt;
    const std::uint32_t headerSize = u32(data, 0);
    const std::int32_t width = s32(data, 4);
    const std::int32_t doubleHeight = s32(data, 8);
    const std::uint16_t bpp = u16(data, 14);
    const std::uint32_t compression = u32(data, 16);
    std::uint32_t colours = u32(data, 32);

    // Icon bitmaps are bottom-up and twice as high as the picture: colour rows, then the
    // AND mask. Only uncompressed data is valid in an icon.
    if (headerSize < InfoHeaderMin || headerSize > data.size() || compression != 0)
        return std::nullopt;
    if (width <= 0 || width > MaxSide || doubleHeight <= 0 || doubleHeight > 2 * MaxSide)
        return std::nullopt;
    if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 24 && bpp != 32)
        return std::nullopt;
    BitmapLayout l;
    l.w = static_cast<std::size_t>(width);
    l.h = static_cast<std::size_t>(doubleHeight) / 2;
    l.bpp = bpp;
    if (l.h == 0)
        return std::nullopt;

    std::size_t at = headerSize;
    if (bpp <= 8) {
        const std::uint32_t full = 1u << bpp;
        if (colours == 0)
            colours = full;
        if (colours > full)
            return std::nullopt;
        // A palette cut short by the file end cannot be trusted with the rows after it.
        if (data.size() - at < colours * 4u)
            return std::nullopt;
        l.palette = data.subspan(at, colours * 4u);
        at += colours * 4u;
    }
    l.colours = colours;

    l.xorStride = stride(l.w, bpp);
    l.andStride = stride(l.w, 1);
    if (data.size() - at < l.xorStride * l.h)
        return std::nullopt;
    l.xorRows = data.subspan(at, l.xorStride * l.h);
    at += l.xorStride * l.h;
    // Some writers leave the mask out of 32-bit pictures: the alpha channel is enough.
    if (data.size() - at >= l.andStride * l.h)
        l.andRows = data.subspan(at, l.andStride * l.h);
    else if (bpp != 32)
        return std::nullopt;
    return l;
}

// The colour rows into out's pixels, top row first. True when a 32-bit picture carries
// any alpha of its own.
bool decodeColours(const BitmapLayout& l, Picture& out)
{
    const std::uint16_t bpp = l.bpp;
    bool anyAlpha = false;
    for (std::size_t y = 0; y < l.h; ++y) {
        const auto row = l.xorRows.subspan((l.h - 1 - y) * l.xorStride, l.xorStride);
        std::uint32_t* line = out.pixels.data() + y * l.w;
        for (std::size_t x = 0; x < l.w; ++x) {
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
                if (index < l.colours) {
                    const std::size_t p = index * 4;
                    argb = 0xFF000000u | (l.palette[p + 2] << 16) | (l.palette[p + 1] << 8) | l.palette[p];
                } else {
                    argb = 0xFF000000u; // an index past a short palette: black, as the system draws it
                }
            }
            line[x] = argb;
        }
    }
    return anyAlpha;
}

// Where the mask is set the colour is XORed onto the background; on a transparent
// picture that is simply clear. Without a mask every pixel is opaque.
void applyMask(const BitmapLayout& l, Picture& out)
{
    for (std::size_t y = 0; y < l.h; ++y) {
        std::uint32_t* line = out.pixels.data() + y * l.w;
        if (l.andRows.empty()) {
            for (std::size_t x = 0; x < l.w; ++x)
                line[x] |= 0xFF000000u;
            continue;
        }
        const auto mask = l.andRows.subspan((l.h - 1 - y) * l.andStride, l.andStride);
        for (std::size_t x = 0; x < l.w; ++x) {
            const bool clear = (mask[x / 8] >> (7 - x % 8)) & 1;
            line[x] = clear ? 0u : (line[x] | 0xFF000000u);
        }
    }
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
    const std::optional<BitmapLayout> layout = bitmapLayout(data);
    if (!layout)
        return out;
    out.width = static_cast<int>(layout->w);
    out.height = static_cast<int>(layout->h);
    out.pixels.assign(layout->w * layout->h, 0);
    const bool anyAlpha = decodeColours(*layout, out);
    // The mask decides transparency unless a 32-bit picture carries real alpha.
    if (layout->bpp != 32 || !anyAlpha)
        applyMask(*layout, out);
    return out;
}

} // namespace ico
