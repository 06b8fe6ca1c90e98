// Icon files from arbitrary bytes: the directory and bitmap readers never read outside
// the input, never allocate beyond the largest picture allowed, and what they return is
// consistent with the input.
#include "formats/IcoParser.h"

#include "FuzzCheck.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::span<const std::uint8_t> file(data, size);

    // The input read as a whole icon file.
    const auto entries = ico::readDirectory(file);
    const auto order = ico::preferenceOrder(entries, 16);
    FUZZ_CHECK(order.size() == entries.size());
    for (std::size_t i : order) {
        const ico::Entry& e = entries[i];
        FUZZ_CHECK(e.offset <= size && e.size <= size - e.offset);
        if (e.png)
            continue;
        const ico::Picture p = ico::decodeBitmap(file.subspan(e.offset, e.size));
        FUZZ_CHECK(p.pixels.size() == static_cast<std::size_t>(p.width) * static_cast<std::size_t>(p.height));
    }

    // The input read as one bitmap picture, to reach the pixel decoding directly.
    const ico::Picture p = ico::decodeBitmap(file);
    FUZZ_CHECK(p.width <= ico::MaxSide && p.height <= ico::MaxSide);
    FUZZ_CHECK(p.pixels.size() == static_cast<std::size_t>(p.width) * static_cast<std::size_t>(p.height));
    return 0;
}
