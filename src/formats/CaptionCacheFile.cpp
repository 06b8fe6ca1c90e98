#include "formats/CaptionCacheFile.h"

#include "formats/IconCacheFile.h"
#include "formats/LittleEndian.h"

#include <cstring>

namespace captioncache {

namespace {

constexpr char Mark[8] = {'V', 'Y', 'R', 'E', 'C', 'A', 'P', 'T'};
constexpr std::size_t HeaderSize = 8 + 4;
// A caption record's checked bytes: kind (1), key length (4), key, a, b (4 each), data.
constexpr std::size_t Fixed = 1 + 4 + 4 + 4;
// The stamp's: environment length (4), environment, entry count (4), then per entry
// path length (4), path, modified and size (8 each).
constexpr std::size_t MaxEntries = 65536;
constexpr std::size_t MaxPath = 4096;

using littleendian::get;
using littleendian::put;

void appendBody(std::string& file, const std::string& body)
{
    const std::span<const std::uint8_t> bytes(reinterpret_cast<const std::uint8_t*>(body.data()), body.size());
    iconcache::appendSealed(file, bytes, iconcache::checksum(bytes));
}

bool readStamp(std::span<const std::uint8_t> body, Stamp& stamp)
{
    std::size_t p = 0;
    const auto text = [&](std::size_t limit, std::string& out) {
        if (body.size() - p < 4)
            return false;
        const std::size_t n = get(body, p, 4);
        if (n > limit || n > body.size() - p - 4)
            return false;
        out.assign(reinterpret_cast<const char*>(body.data() + p + 4), n);
        p += 4 + n;
        return true;
    };
    if (!text(MaxKey, stamp.environment) || body.size() - p < 4)
        return false;
    const std::size_t count = get(body, p, 4);
    p += 4;
    if (count > MaxEntries)
        return false;
    for (std::size_t i = 0; i < count; ++i) {
        StampEntry e;
        if (!text(MaxPath, e.path) || body.size() - p < 16)
            return false;
        e.modified = std::int64_t(get(body, p, 8));
        e.size = std::int64_t(get(body, p + 8, 8));
        p += 16;
        stamp.files.push_back(std::move(e));
    }
    return p == body.size();
}

} // namespace

File readFile(std::span<const std::uint8_t> file)
{
    File out;
    if (file.size() < HeaderSize || std::memcmp(file.data(), Mark, 8) != 0 || get(file, 8, 4) != Version)
        return out;
    std::size_t at = HeaderSize;
    std::span<const std::uint8_t> body;
    std::uint64_t checksum = 0;
    if (!iconcache::nextSealed(file, at, body, checksum)
        || checksum != iconcache::checksum(body) || !readStamp(body, out.stamp)) {
        out.stamp = {};
        return out;
    }
    out.valid = true;
    while (iconcache::nextSealed(file, at, body, checksum)) {
        if (body.size() < Fixed)
            continue;
        Record r;
        r.whole = body;
        r.checksum = checksum;
        const std::uint8_t kind = body[0];
        const std::size_t keyLength = get(body, 1, 4);
        if ((kind != std::uint8_t(Kind::Measure) && kind != std::uint8_t(Kind::Picture)) || keyLength > MaxKey
            || keyLength > body.size() - Fixed)
            continue;
        r.kind = Kind(kind);
        r.key = std::string_view(reinterpret_cast<const char*>(body.data() + 5), keyLength);
        std::size_t p = 5 + keyLength;
        r.a = std::int32_t(get(body, p, 4));
        r.b = std::int32_t(get(body, p + 4, 4));
        p += 8;
        r.data = body.subspan(p);
        if (r.kind == Kind::Measure && (r.a < 0 || r.b < 0))
            continue;
        if (r.kind == Kind::Picture
            && (r.a < 1 || r.a > MaxSide || r.b < 1 || r.b > MaxSide
                || r.data.size() != std::size_t(r.a) * std::size_t(r.b) * 4))
            continue;
        out.records.push_back(r);
    }
    return out;
}

bool intact(const Record& record)
{
    return iconcache::checksum(record.whole) == record.checksum;
}

std::string header(const Stamp& stamp)
{
    std::string out(Mark, sizeof Mark);
    put(out, Version, 4);
    std::string body;
    put(body, stamp.environment.size(), 4);
    body += stamp.environment;
    put(body, stamp.files.size(), 4);
    for (const StampEntry& e : stamp.files) {
        put(body, e.path.size(), 4);
        body += e.path;
        put(body, std::uint64_t(e.modified), 8);
        put(body, std::uint64_t(e.size), 8);
    }
    appendBody(out, body);
    return out;
}

void appendRecord(std::string& file, Kind kind, std::string_view key, std::int32_t a, std::int32_t b,
                  std::span<const std::uint8_t> data)
{
    std::string body;
    body.reserve(Fixed + key.size() + data.size());
    body.push_back(char(kind));
    put(body, key.size(), 4);
    body += key;
    put(body, std::uint32_t(a), 4);
    put(body, std::uint32_t(b), 4);
    body.append(reinterpret_cast<const char*>(data.data()), data.size());
    appendBody(file, body);
}

void appendRecord(std::string& file, const Record& record)
{
    iconcache::appendSealed(file, record.whole, record.checksum);
}

} // namespace captioncache
