#include "formats/IconCacheFile.h"

#include "formats/LittleEndian.h"

#include <bit>
#include <cstring>

namespace iconcache {

namespace {

constexpr char Mark[8] = {'V', 'Y', 'R', 'E', 'I', 'C', 'O', 'N'};
constexpr std::size_t HeaderSize = 8 + 4;
// length (4), checksum (8) precede the checked bytes: path length (4), path, zeros up to
// a multiple of 4, size, modified, changed (8 each), inode (8), index, side, pixel count
// (4 each), pixels. With the header and every record a multiple of 4 bytes long, the
// pixels of every record lie on 32-bit words of the file: a picture can be shown from
// the file's bytes where they lie.
constexpr std::size_t Lead = 4 + 8;
constexpr std::size_t Fixed = 4 + 8 * 4 + 4 * 3;
constexpr std::size_t MaxPath = 4096;

constexpr std::size_t padded(std::size_t pathLength)
{
    return (pathLength + 3) & ~std::size_t(3);
}

using littleendian::get;
using littleendian::put;

} // namespace

std::uint64_t checksum(std::span<const std::uint8_t> bytes)
{
    // Every picture is checked as it is first shown, so this is paid for each icon and
    // caption of a start: four independent lanes of 8-byte words, each word mixed in by
    // a multiplication (odd, so no change to a word is lost) and a rotation (so the high
    // bits reach the low ones), then the lanes and the tail folded together. Any damage
    // to a record changes it with near certainty.
    constexpr std::uint64_t Prime = 0x9E3779B97F4A7C15ull;
    std::uint64_t lane[4] = {0xcbf29ce484222325ull, 0x84222325cbf29ce4ull, 0x100000001b3ull, 0x27d4eb2f165667c5ull};
    const std::uint8_t* p = bytes.data();
    const std::size_t n = bytes.size();
    std::size_t i = 0;
    for (; i + 32 <= n; i += 32) {
        for (int l = 0; l < 4; ++l) {
            std::uint64_t w;
            std::memcpy(&w, p + i + 8 * std::size_t(l), 8);
            lane[l] = std::rotl((lane[l] ^ w) * Prime, 31);
        }
    }
    std::uint64_t h = n;
    for (const std::uint64_t l : lane)
        h = std::rotl((h ^ l) * Prime, 29);
    for (; i + 8 <= n; i += 8) {
        std::uint64_t w;
        std::memcpy(&w, p + i, 8);
        h = std::rotl((h ^ w) * Prime, 29);
    }
    for (; i < n; ++i)
        h = std::rotl((h ^ p[i]) * Prime, 29);
    return h ^ (h >> 32);
}

std::vector<Record> readRecords(std::span<const std::uint8_t> file)
{
    std::vector<Record> records;
    if (file.size() < HeaderSize || std::memcmp(file.data(), Mark, 8) != 0 || get(file, 8, 4) != Version)
        return records;
    std::size_t at = HeaderSize;
    std::span<const std::uint8_t> body;
    std::uint64_t sum = 0;
    while (nextSealed(file, at, body, sum) && body.size() >= Fixed) {
        const std::size_t length = body.size();
        Record r;
        r.checksum = sum;
        r.whole = body;
        const std::size_t pathLength = get(body, 0, 4);
        if (pathLength > MaxPath || padded(pathLength) > length - Fixed)
            continue;
        r.key.path.assign(reinterpret_cast<const char*>(body.data() + 4), pathLength);
        std::size_t p = 4 + padded(pathLength);
        r.key.size = std::int64_t(get(body, p, 8));
        r.key.modified = std::int64_t(get(body, p + 8, 8));
        r.key.changed = std::int64_t(get(body, p + 16, 8));
        r.key.inode = get(body, p + 24, 8);
        r.key.index = std::int32_t(get(body, p + 32, 4));
        r.key.side = std::int32_t(get(body, p + 36, 4));
        const std::size_t pixelCount = get(body, p + 40, 4);
        p += 44;
        if (r.key.side < 1 || r.key.side > MaxSide || r.key.index < 0)
            continue;
        if (pixelCount != 0 && pixelCount != std::size_t(r.key.side) * std::size_t(r.key.side))
            continue;
        if (length - p != pixelCount * 4)
            continue;
        r.pixels = body.subspan(p, pixelCount * 4);
        records.push_back(std::move(r));
    }
    return records;
}

bool intact(const Record& record)
{
    return checksum(record.whole) == record.checksum;
}

std::string header()
{
    std::string out(Mark, sizeof Mark);
    put(out, Version, 4);
    return out;
}

void appendRecord(std::string& file, const Key& key, std::span<const std::uint32_t> pixels)
{
    std::string body;
    body.reserve(Fixed + padded(key.path.size()) + pixels.size() * 4);
    put(body, key.path.size(), 4);
    body += key.path;
    body.append(padded(key.path.size()) - key.path.size(), '\0');
    put(body, std::uint64_t(key.size), 8);
    put(body, std::uint64_t(key.modified), 8);
    put(body, std::uint64_t(key.changed), 8);
    put(body, key.inode, 8);
    put(body, std::uint32_t(key.index), 4);
    put(body, std::uint32_t(key.side), 4);
    put(body, pixels.size(), 4);
    if constexpr (std::endian::native == std::endian::little)
        body.append(reinterpret_cast<const char*>(pixels.data()), pixels.size() * 4);
    else
        for (std::uint32_t v : pixels)
            put(body, v, 4);
    const std::span<const std::uint8_t> bytes(reinterpret_cast<const std::uint8_t*>(body.data()), body.size());
    appendSealed(file, bytes, checksum(bytes));
}

void appendRecord(std::string& file, const Record& record)
{
    appendSealed(file, record.whole, record.checksum);
}

void appendSealed(std::string& file, std::span<const std::uint8_t> body, std::uint64_t checksum)
{
    put(file, body.size(), 4);
    put(file, checksum, 8);
    file.append(reinterpret_cast<const char*>(body.data()), body.size());
}

bool nextSealed(std::span<const std::uint8_t> file, std::size_t& at, std::span<const std::uint8_t>& body,
                std::uint64_t& checksum)
{
    if (at > file.size() || file.size() - at < Lead)
        return false;
    const std::size_t length = get(file, at, 4);
    if (length > file.size() - at - Lead)
        return false;
    checksum = get(file, at + 4, 8);
    body = file.subspan(at + Lead, length);
    at += Lead + length;
    return true;
}

} // namespace iconcache
