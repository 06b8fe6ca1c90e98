// The icon and caption cache files from arbitrary bytes: records are found without
// reading outside the input, every record's pixels lie inside it and fit its side, and a
// record copied into a new file reads back the same.
#include "formats/CaptionCacheFile.h"
#include "formats/IconCacheFile.h"

#include "FuzzCheck.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

void captionCache(const std::uint8_t* data, std::size_t size)
{
    const captioncache::File file = captioncache::readFile({data, size});
    FUZZ_CHECK(file.valid || (file.records.empty() && file.stamp.files.empty()));
    std::string copy = captioncache::header(file.stamp);
    for (const captioncache::Record& r : file.records) {
        FUZZ_CHECK(r.whole.data() >= data && r.whole.data() + r.whole.size() <= data + size);
        FUZZ_CHECK(r.data.data() >= r.whole.data() && r.data.data() + r.data.size() <= r.whole.data() + r.whole.size());
        FUZZ_CHECK(r.kind != captioncache::Kind::Picture || r.data.size() == std::size_t(r.a) * std::size_t(r.b) * 4);
        (void)captioncache::intact(r);
        captioncache::appendRecord(copy, r);
    }
    const captioncache::File again =
        captioncache::readFile({reinterpret_cast<const std::uint8_t*>(copy.data()), copy.size()});
    FUZZ_CHECK(!file.valid
               || (again.valid && again.stamp == file.stamp && again.records.size() == file.records.size()));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    captionCache(data, size);
    const std::span<const std::uint8_t> file(data, size);
    const auto records = iconcache::readRecords(file);
    std::string copy = iconcache::header();
    for (const iconcache::Record& r : records) {
        FUZZ_CHECK(r.whole.data() >= data && r.whole.data() + r.whole.size() <= data + size);
        FUZZ_CHECK(r.key.side >= 1 && r.key.side <= iconcache::MaxSide);
        FUZZ_CHECK(r.pixels.empty() || r.pixels.size() == std::size_t(r.key.side) * std::size_t(r.key.side) * 4);
        (void)iconcache::intact(r);
        iconcache::appendRecord(copy, r);
    }
    const auto again = iconcache::readRecords(
        {reinterpret_cast<const std::uint8_t*>(copy.data()), copy.size()});
    FUZZ_CHECK(again.size() == records.size());
    for (std::size_t i = 0; i < again.size(); ++i)
        FUZZ_CHECK(again[i].key == records[i].key && again[i].checksum == records[i].checksum);
    return 0;
}
