#pragma once

// Numbers as the cache files store them: little-endian, of a given width in bytes.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace littleendian {

// The number of `bytes` bytes at b[at]; the caller has checked they are there.
inline std::uint64_t get(std::span<const std::uint8_t> b, std::size_t at, int bytes)
{
    std::uint64_t v = 0;
    for (int i = bytes - 1; i >= 0; --i)
        v = (v << 8) | b[at + std::size_t(i)];
    return v;
}

inline void put(std::string& out, std::uint64_t v, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out.push_back(char((v >> (8 * i)) & 0xFF));
}

} // namespace littleendian
