// The icon and caption cache files' records: written and read back, and a file cut short.
#include "formats/CaptionCacheFile.h"
#include "formats/IconCacheFile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace {

// Records read back as written, each standing alone, their pixels on 32-bit words of the
// file whatever the length of the path before them; a last record cut by a few bytes
// (every cut shorter than its lead of length and checksum, and a few beyond) is left out
// and nothing past the end is read.
TEST(IconCacheFile, RecordsReadBackAsWrittenAndALastRecordCutShortIsLeftOut)
{
    std::string file = iconcache::header();
    const iconcache::Key a{"/a.png", 10, 20, 30, 40, 0, 2}, none{"/bc.dll", 1, 2, 3, 4, 7, 16};
    const std::uint32_t pixels[] = {0xFF000001u, 0x80000002u, 0u, 0xFFFFFFFFu};
    iconcache::appendRecord(file, a, pixels);
    iconcache::appendRecord(file, none, {});
    iconcache::appendRecord(file, a, pixels); // after a path of 7 bytes
    for (std::size_t cut = 0; cut <= 16; ++cut) {
        SCOPED_TRACE(cut);
        // An exact copy on the heap, so that a read past its end is seen by AddressSanitizer.
        const std::vector<std::uint8_t> exact(file.begin(), file.end() - std::ptrdiff_t(cut));
        const auto records = iconcache::readRecords(exact);
        ASSERT_EQ(records.size(), cut == 0 ? 3u : 2u);
        EXPECT_EQ(records[0].key, a);
        EXPECT_TRUE(records[0].pixels.size() == 16 && records[0].pixels[4] == 0x02);
        EXPECT_TRUE(records[1].key == none && records[1].pixels.empty());
        EXPECT_TRUE(cut > 0 || (records[2].key == a && records[2].pixels[4] == 0x02));
        for (const auto& r : records) {
            EXPECT_TRUE(iconcache::intact(r));
            EXPECT_TRUE(r.pixels.empty() || (r.pixels.data() - exact.data()) % 4 == 0);
            EXPECT_LE(r.whole.data() + r.whole.size(), exact.data() + exact.size());
        }
    }
}

// The caption cache's stamp and records read back as written; a file cut inside its
// stamp holds nothing, one cut inside its last record loses that record only, and
// records whose sizes do not fit their data are left out.
TEST(CaptionCacheFile, StampAndRecordsReadBackAsWrittenAndACutLosesOnlyWhatItCut)
{
    const captioncache::Stamp stamp{"FONTCONFIG_FILE=/x", {{"/etc/fonts/fonts.conf", 123456789, 42}, {"/gone", -1, 0}}};
    const std::uint8_t pixels[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    std::string file = captioncache::header(stamp);
    const std::size_t stampEnd = file.size();
    captioncache::appendRecord(file, captioncache::Kind::Measure, "m", 40, 13, {pixels, 4});
    captioncache::appendRecord(file, captioncache::Kind::Picture, "p", 3, 1, {pixels, 8}); // 12 bytes needed
    captioncache::appendRecord(file, captioncache::Kind::Picture, "q", 2, 1, {pixels, 8});
    for (std::size_t cut = 0; cut <= file.size() - 12; cut += 3) {
        SCOPED_TRACE(cut);
        const std::vector<std::uint8_t> exact(file.begin(), file.end() - std::ptrdiff_t(cut));
        const captioncache::File read = captioncache::readFile(exact);
        ASSERT_EQ(read.valid, exact.size() >= stampEnd);
        if (!read.valid) {
            EXPECT_TRUE(read.records.empty() && read.stamp.files.empty());
            continue;
        }
        EXPECT_EQ(read.stamp, stamp);
        const std::size_t records = cut == 0 ? 2 : exact.size() >= stampEnd + 30 ? 1 : 0; // a measure: 30 bytes
        ASSERT_EQ(read.records.size(), records);
        if (records == 0)
            continue;
        EXPECT_TRUE(read.records[0].key == "m" && read.records[0].a == 40 && read.records[0].b == 13
                    && read.records[0].data.size() == 4 && captioncache::intact(read.records[0]));
        EXPECT_TRUE(cut > 0 || (read.records[1].key == "q" && read.records[1].data[7] == 8));
    }
}

// Both caches' records are checked by one checksum: any byte changed, in the lanes of
// whole words or in the tail, and two words exchanged, change it.
TEST(CacheChecksum, AnyByteChangedOrWordsExchangedChangeIt)
{
    for (const std::size_t size : {std::size_t(1), std::size_t(31), std::size_t(32), std::size_t(71)}) {
        std::vector<std::uint8_t> bytes(size);
        for (std::size_t i = 0; i < size; ++i)
            bytes[i] = std::uint8_t(i * 7 + 1);
        const std::uint64_t sound = iconcache::checksum(bytes);
        for (std::size_t i = 0; i < size; ++i) {
            SCOPED_TRACE(testing::Message() << size << " bytes, byte " << i);
            for (const std::uint8_t flip : {std::uint8_t(0x01), std::uint8_t(0x80), std::uint8_t(0xFF)}) {
                bytes[i] ^= flip;
                EXPECT_NE(iconcache::checksum(bytes), sound);
                bytes[i] ^= flip;
            }
        }
        if (size >= 16) {
            std::swap_ranges(bytes.begin(), bytes.begin() + 8, bytes.begin() + 8);
            EXPECT_NE(iconcache::checksum(bytes), sound) << size;
        }
    }
    EXPECT_NE(iconcache::checksum(std::vector<std::uint8_t>(8, 0)), iconcache::checksum(std::vector<std::uint8_t>(16, 0)));
}

} // namespace
