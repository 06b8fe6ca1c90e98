// Windows programs and icon libraries (PE32, PE32+ and 16-bit NE) from arbitrary bytes:
// the resource walk never reads outside the input, never loops, and every group's
// pictures lie inside it and decode within the largest picture allowed.
#include "formats/ExeParser.h"
#include "formats/IcoParser.h"

#include "FuzzCheck.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::span<const std::uint8_t> file(data, size);
    const exe::Resources r = exe::readResources(file);
    // Each directory entry takes at least 8 bytes of the file, so neither list can be
    // longer than that allows.
    FUZZ_CHECK(r.groups.size() <= size / 8 && r.pictures.size() <= size / 8);
    // However the entries lead to each other, the walk stops at its budget.
    FUZZ_CHECK(r.steps <= exe::MaxSteps);
    for (const auto& [id, span] : r.pictures)
        FUZZ_CHECK(span.offset <= size && span.size <= size - span.offset);
    for (std::size_t g = 0; g < r.groups.size(); ++g) {
        FUZZ_CHECK(r.groups[g].offset <= size && r.groups[g].size <= size - r.groups[g].offset);
        for (const ico::Entry& e : exe::groupEntries(file, r, g)) {
            FUZZ_CHECK(e.offset <= size && e.size <= size - e.offset);
            if (e.png)
                continue;
            const ico::Picture p = ico::decodeBitmap(file.subspan(e.offset, e.size));
            FUZZ_CHECK(p.pixels.size() == std::size_t(p.width) * std::size_t(p.height));
        }
    }
    return 0;
}
