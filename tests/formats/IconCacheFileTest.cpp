// The icon cache file's records: written and read back, and a file cut short.
#include "formats/IconCacheFile.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace {

// Records read back as written, each standing alone; a last record cut by a few bytes
// (every cut shorter than its lead of length and checksum, and a few beyond) is left out
// and nothing past the end is read.
TEST(IconCacheFile, RecordsReadBackAsWrittenAndALastRecordCutShortIsLeftOut)
{
    std::string file = iconcache::header();
    const iconcache::Key a{"/a.png", 10, 20, 30, 40, 0, 2}, none{"/b.dll", 1, 2, 3, 4, 7, 16};
    const std::uint32_t pixels[] = {0xFF000001u, 0x80000002u, 0u, 0xFFFFFFFFu};
    iconcache::appendRecord(file, a, pixels);
    iconcache::appendRecord(file, none, {});
    for (std::size_t cut = 0; cut <= 16; ++cut) {
        SCOPED_TRACE(cut);
        // An exact copy on the heap, so that a read past its end is seen by AddressSanitizer.
        const std::vector<std::uint8_t> exact(file.begin(), file.end() - std::ptrdiff_t(cut));
        const auto records = iconcache::readRecords(exact);
        ASSERT_EQ(records.size(), cut == 0 ? 2u : 1u);
        EXPECT_EQ(records[0].key, a);
        EXPECT_TRUE(records[0].pixels.size() == 16 && records[0].pixels[4] == 0x02);
        EXPECT_TRUE(cut > 0 || (records[1].key == none && records[1].pixels.empty()));
        for (const auto& r : records) {
            EXPECT_TRUE(iconcache::intact(r));
            EXPECT_LE(r.whole.data() + r.whole.size(), exact.data() + exact.size());
        }
    }
}

} // namespace
