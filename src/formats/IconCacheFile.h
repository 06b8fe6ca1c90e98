#pragma once

// The file of the icon cache: pictures already decoded, each under the file, the state
// of that file on disk and the icon and size it was drawn for. Plain C++ with no Qt and
// no file access, so it can be fuzzed on its own.
//
// The file is a header (a mark and the format's version) and a run of records. Each
// record carries its own length and a checksum of its bytes: a record cut short or
// damaged is left out, and the records after it are still found. A reader never trusts
// a length, a size or a side it has not checked against the bytes it was given.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace iconcache {

// Bumped whenever a record's layout or the way pictures are drawn changes: a cache
// from another version is thrown away whole.
constexpr std::uint32_t Version = 3;
constexpr int MaxSide = 256;

// What a picture was drawn from. A picture is used only for the same file in the same
// state (size, modification and change time, inode), the same icon and the same side.
struct Key {
    std::string path;
    std::int64_t size = 0;
    std::int64_t modified = 0;
    std::int64_t changed = 0;
    std::uint64_t inode = 0;
    std::int32_t index = 0;
    std::int32_t side = 0;
    bool operator==(const Key&) const = default;
};

// One record as found in the file. pixels holds side x side premultiplied 0xAARRGGBB
// values, little-endian, top row first; empty for "the file has no such icon". In a file
// read to a 4-byte boundary, as every allocation is, they start on one too.
struct Record {
    Key key;
    std::span<const std::uint8_t> pixels;
    std::span<const std::uint8_t> whole; // the record's bytes, what the checksum covers
    std::uint64_t checksum = 0;
};

// The records of a cache file, without checking their checksums (that is left to the
// moment a record is used: a start-up must not read every picture it does not show).
// Empty when the header is not ours or of another version.
std::vector<Record> readRecords(std::span<const std::uint8_t> file);

// True when a record's bytes still match its checksum.
bool intact(const Record& record);

// The file's header, then records appended one by one.
std::string header();
// pixels: side x side values, or empty for "no such icon".
void appendRecord(std::string& file, const Key& key, std::span<const std::uint32_t> pixels);
// A record read from another file, copied whole.
void appendRecord(std::string& file, const Record& record);

// The checksum of a record's checked bytes, in this file and in the caption cache's.
std::uint64_t checksum(std::span<const std::uint8_t> bytes);

// How both cache files frame a record: its length (4) and checksum (8), then its checked
// bytes. appendSealed writes one; nextSealed gives the checked bytes and checksum of the
// one at `at` and moves past it, false at the end or where the file was cut (a length
// running past the end: nothing after it counts).
void appendSealed(std::string& file, std::span<const std::uint8_t> body, std::uint64_t checksum);
bool nextSealed(std::span<const std::uint8_t> file, std::size_t& at, std::span<const std::uint8_t>& body,
                std::uint64_t& checksum);

} // namespace iconcache
