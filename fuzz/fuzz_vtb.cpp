// Toolbar files from arbitrary bytes: reading never crashes or hangs, and the buttons read
// (a partial one after a malformed line included) survive writing and reading back.
#include "FuzzCheck.h"

#include "store/Store.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace {
std::vector<const BtnRec*> storedButtons(const TbrRec& t)
{
    std::vector<const BtnRec*> kept;
    for (int k = 1; k <= t.BtnCount; ++k) {
        if (!isBlankButton(t.Btns[k]))
            kept.push_back(&t.Btns[k]);
    }
    return kept;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const TempDir folder;
    TbrRec first;
    first.Path = freshFile(folder, "Tools.vtb", data, size);

    (void)ReadBtns(first);
    FUZZ_CHECK(first.BtnCount <= MaxButtons);

    FUZZ_CHECK(WriteBtns(first).empty());
    TbrRec second;
    second.Path = first.Path;
    FUZZ_CHECK(ReadBtns(second).empty());
    std::vector<const BtnRec*> expected = storedButtons(first);
    FUZZ_CHECK(second.BtnCount == expected.size());
    for (std::size_t k = 0; k < expected.size(); ++k) {
        const BtnRec& a = *expected[k];
        const BtnRec& b = second.Btns[k + 1];
        FUZZ_CHECK(a.Name == b.Name && a.Executable == b.Executable && a.Parameters == b.Parameters);
        FUZZ_CHECK(a.Kind == b.Kind && a.IconFile == b.IconFile && a.IconIndex == b.IconIndex);
    }
    return 0;
}
