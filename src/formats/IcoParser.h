#pragma once

// The .ico container and its bitmap pictures, read from bytes in memory. Plain C++ with
// no Qt and no file access, so it can be fuzzed on its own. Nothing in a file is
// trusted: every offset, size and dimension is checked, and malformed input gives an
// empty result rather than an error.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace ico {

// The largest picture side accepted. Real icons stop at 256; anything far beyond is a
// damaged or hostile file, and refusing it bounds the memory one picture can take.
constexpr int MaxSide = 1024;

struct Entry {
    int width = 0;  // from the directory; 0 there means 256
    int height = 0;
    int bitCount = 0; // from the directory, or the colour count's depth; 0 unknown
    bool png = false;
    std::size_t offset = 0;
    std::size_t size = 0;
};

// Straight (not premultiplied) 0xAARRGGBB pixels, top row first.
struct Picture {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;
    bool empty() const { return pixels.empty(); }
};

// The directory's entries whose data lies wholly inside the file; empty when the bytes
// are not an icon or cursor file.
std::vector<Entry> readDirectory(std::span<const std::uint8_t> file);

// Entry indexes best first for showing at side x side pixels: the exact size, then the
// nearest larger one (scaling down looks better than up), then the nearest smaller one;
// the deeper colour first among equals.
std::vector<std::size_t> preferenceOrder(const std::vector<Entry>& entries, int side);

// Decodes a device-independent bitmap entry (header, palette, colour rows, AND mask):
// 1, 4, 8, 24 and 32 bits per pixel. Empty when the data is malformed.
Picture decodeBitmap(std::span<const std::uint8_t> data);

// True when data starts with the PNG signature.
bool isPng(std::span<const std::uint8_t> data);

} // namespace ico
