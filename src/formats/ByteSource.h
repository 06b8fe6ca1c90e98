#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

// The bytes of an outside file as a parser reads them: a few at a time, by offset. A file
// on disk is read piece by piece as the parser asks (see FileBytes), so a large program
// costs no more than its directories, and a file cut short meanwhile only makes reads
// fail. Bytes already in memory (an icon file, a fuzzer's input) are read in place.
class ByteSource {
public:
    virtual ~ByteSource() = default;
    // The size the bytes had when first looked at; a read may still find fewer.
    virtual std::size_t size() const = 0;
    // Copies n bytes at offset into out; false when they are not all there.
    virtual bool read(std::size_t offset, std::size_t n, std::uint8_t* out) = 0;

    bool has(std::size_t offset, std::size_t n) const { return offset <= size() && n <= size() - offset; }
    // n bytes at offset; empty when they are not all there.
    std::vector<std::uint8_t> bytes(std::size_t offset, std::size_t n)
    {
        std::vector<std::uint8_t> out;
        if (!has(offset, n))
            return out;
        out.resize(n);
        if (!read(offset, n, out.data()))
            out.clear();
        return out;
    }
    // Little-endian numbers; 0 where the bytes are not there (the caller checked has()
    // first, so that only happens to a file that shrank, whose result is then a miss).
    std::uint16_t u16(std::size_t at)
    {
        std::uint8_t b[2] = {};
        if (!read(at, 2, b))
            return 0;
        return static_cast<std::uint16_t>(b[0] | (b[1] << 8));
    }
    std::uint32_t u32(std::size_t at)
    {
        std::uint8_t b[4] = {};
        if (!read(at, 4, b))
            return 0;
        return std::uint32_t(b[0]) | (std::uint32_t(b[1]) << 8) | (std::uint32_t(b[2]) << 16) | (std::uint32_t(b[3]) << 24);
    }
};

// Bytes already in memory.
class MemoryBytes final : public ByteSource {
public:
    explicit MemoryBytes(std::span<const std::uint8_t> bytes) : m_bytes(bytes) {}
    std::size_t size() const override { return m_bytes.size(); }
    bool read(std::size_t offset, std::size_t n, std::uint8_t* out) override
    {
        if (!has(offset, n))
            return false;
        std::copy_n(m_bytes.data() + offset, n, out);
        return true;
    }

private:
    std::span<const std::uint8_t> m_bytes;
};
