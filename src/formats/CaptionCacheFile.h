#pragma once

// The file of the caption cache: what the toolbars' captions measured and how they looked
// when drawn, kept so that a start can lay out and paint them without loading a font.
// Plain C++ with no Qt and no file access, so it can be fuzzed on its own.
//
// The file is a header (a mark and the format's version), a stamp record telling which
// fonts the captions were drawn with, and a run of records, each under a key the program
// makes of everything the measure or picture depends on. Every record carries its own
// length and a checksum of its bytes: the stamp is checked as the file is read (a file
// whose stamp is damaged holds nothing), the other records when they are used. A reader
// never trusts a length or a size it has not checked against the bytes it was given.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace captioncache {

// Bumped whenever a record's layout or the way captions are measured or drawn changes:
// a cache from another version is thrown away whole.
constexpr std::uint32_t Version = 2;
constexpr std::size_t MaxKey = 64 * 1024;
constexpr std::int32_t MaxSide = 4096;

// One file or folder the fonts were read from, as it was: modified is nanoseconds since
// the epoch, or -1 when there was nothing at path.
struct StampEntry {
    std::string path;
    std::int64_t modified = -1;
    std::int64_t size = 0;
    bool operator==(const StampEntry&) const = default;
};

// What the fonts were drawn from: the files and folders of the font configuration and
// the settings that change fonts. Captions are served only while every part is as it was.
struct Stamp {
    std::string environment;
    std::vector<StampEntry> files;
    bool operator==(const Stamp&) const = default;
};

enum class Kind : std::uint8_t {
    // a = the caption's width in pixels, b = the height of a line of the font, data =
    // the caption as shown (UTF-8), shortened when it is too long
    Measure = 1,
    // a x b pixels (a, b in 1..MaxSide), data = a * b 32-bit values, little-endian, top
    // row first, in the pixel format the key names
    Picture = 2,
};

struct Record {
    Kind kind = Kind::Measure;
    std::string_view key;
    std::int32_t a = 0;
    std::int32_t b = 0;
    std::span<const std::uint8_t> data;
    std::span<const std::uint8_t> whole; // the record's bytes, what the checksum covers
    std::uint64_t checksum = 0;
};

struct File {
    bool valid = false; // ours, of this version, with a sound stamp
    Stamp stamp;
    std::vector<Record> records; // their checksums not yet checked
};

// The stamp and records of a cache file; not valid (and empty) when the header is not
// ours or of another version, or the stamp is damaged. Records point into file.
File readFile(std::span<const std::uint8_t> file);

// True when a record's bytes still match its checksum.
bool intact(const Record& record);

// The file's header with its stamp, then records appended one by one.
std::string header(const Stamp& stamp);
void appendRecord(std::string& file, Kind kind, std::string_view key, std::int32_t a, std::int32_t b,
                  std::span<const std::uint8_t> data);
// A record read from another file, copied whole.
void appendRecord(std::string& file, const Record& record);

} // namespace captioncache
