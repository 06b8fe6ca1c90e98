// Toolbars.cfg from arbitrary bytes: reading never crashes or hangs, and whatever was read
// is written and read back to the same set.
#include "FuzzCheck.h"

#include "store/Store.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const TempDir folder;
    freshFile(folder, "Toolbars.cfg", data, size);

    ToolbarSet first;
    (void)ReadCfg(first, folder.path);
    FUZZ_CHECK(first.count() <= MaxToolbars);
    if (first.count() == 0)
        return 0;

    FUZZ_CHECK(WriteCfg(first, folder.path).empty());
    ToolbarSet second;
    FUZZ_CHECK(ReadCfg(second, folder.path).empty());
    FUZZ_CHECK(second.count() == first.count());
    for (int i = 0; i < first.count(); ++i) {
        const TbrRec& a = first.Tbrs[i];
        const TbrRec& b = second.Tbrs[i];
        FUZZ_CHECK(a.Name == b.Name && a.Path == b.Path && a.IconFile == b.IconFile);
        FUZZ_CHECK(a.Top == b.Top && a.Left == b.Left && a.IconIndex == b.IconIndex);
        for (int m = 0; m < ModeCount; ++m)
            FUZZ_CHECK(isTrue(a.mode(m)) == isTrue(b.mode(m)));
    }
    return 0;
}
