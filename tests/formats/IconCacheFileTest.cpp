// The icon cache file's records: written and read back, and a file cut short.
#include "formats/IconCacheFile.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace {

TEST(IconCacheFile, RecordsReadBackAsWrittenAndEachStandsAlone)
{
    std::string file = iconcache::header();
    const iconcache::Key a{"/a.png", 10, 20, 30, 40, 0, 2}, none{"/b.dll", 1, 2, 3, 4, 7, 16};
    const std::uint32_t pixels[] = {0xFF000001u, 0x80000002u, 0u, 0xFFFFFFFFu};
    iconcache::appendRecord(file, a, pixels);
    iconcache::appendRecord(file, none, {});
    const auto records = iconcache::readRecords({reinterpret_cast<const std::uint8_t*>(file.data()), file.size()});
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].key, a);
    EXPECT_EQ(records[0].pixels.size(), 16u);
    EXPECT_EQ(records[0].pixels[4], 0x02);
    EXPECT_EQ(records[1].key, none);
    EXPECT_TRUE(records[1].pixels.empty());
    EXPECT_TRUE(iconcache::intact(records[0]) && iconcache::intact(records[1]));
}

TEST(IconCacheFile, ALastRecordCutByAFewBytesIsLeftOutAndNothingPastTheEndIsRead)
{
    std::string file = iconcache::header();
    const std::uint32_t pixels[] = {0xFF000001u, 0x80000002u, 0u, 0xFFFFFFFFu};
    iconcache::appendRecord(file, {"/a.png", 1, 2, 3, 4, 0, 2}, pixels);
    const std::size_t first = file.size();
    iconcache::appendRecord(file, {"/b.png", 1, 2, 3, 4, 0, 2}, pixels);
    // Every cut shorter than the record's lead (length and checksum) and a few beyond.
    for (std::size_t cut = 0; cut <= 16; ++cut) {
        SCOPED_TRACE(cut);
        // An exact copy on the heap, so that a read past its end is seen by AddressSanitizer.
        const std::vector<std::uint8_t> exact(file.begin(), file.end() - std::ptrdiff_t(cut));
        const auto records = iconcache::readRecords(exact);
        ASSERT_EQ(records.size(), cut == 0 ? 2u : 1u);
        EXPECT_EQ(records[0].key.path, "/a.png");
        for (const auto& r : records)
            EXPECT_LE(r.whole.data() + r.whole.size(), exact.data() + exact.size());
        EXPECT_LE(first, exact.size());
    }
}

} // namespace
