// Key files (.desktop entries, index.theme) from arbitrary bytes: the parser never reads
// outside the input, keeps no more than the input holds, and the Exec and list helpers
// stay within what they are given.
#include "formats/DesktopFile.h"

#include "FuzzCheck.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const auto groups = desktop::parse(text);
    std::size_t kept = 0;
    for (const desktop::Group& g : groups) {
        kept += g.name.size();
        for (const auto& [key, value] : g.entries) {
            FUZZ_CHECK(!key.empty());
            kept += key.size() + value.size();
            FUZZ_CHECK(desktop::program(value).size() <= value.size());
            std::size_t listed = 0;
            for (const std::string& item : desktop::list(value))
                listed += item.size();
            FUZZ_CHECK(listed <= value.size());
        }
    }
    // Escapes only shorten, and every kept byte came from the input.
    FUZZ_CHECK(kept <= size);
    if (const std::string* icon = desktop::value(groups, "Desktop Entry", "Icon"))
        FUZZ_CHECK(icon->size() <= size);
    FUZZ_CHECK(desktop::program(text).size() <= size);
    return 0;
}
