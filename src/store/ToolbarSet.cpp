#include "store/ToolbarSet.h"

#include "store/Store.h"

#include <algorithm>

void ToolbarSet::RedimTbrs(std::size_t upper)
{
    // Records are only ever added: windows hold their index, so existing elements must
    // stay where they are.
    if (Tbrs.size() >= upper + 1)
        return;
    // Readers add one record at a time; room for twice as many keeps the moves of whole
    // records down to a few, whatever the library's own growth.
    if (Tbrs.capacity() < upper + 1)
        Tbrs.reserve(std::max(upper + 1, std::min<std::size_t>(2 * Tbrs.capacity(), MaxToolbars)));
    const std::size_t added = Tbrs.size();
    Tbrs.resize(upper + 1);
    for (std::size_t i = added; i < Tbrs.size(); ++i)
        Tbrs[i].Folder = Folder;
}

TbrRec& ToolbarSet::withButtons(std::size_t t)
{
    TbrRec& rec = Tbrs.at(t);
    if (!rec.BtnsRead) {
        const StoreMessages said = ReadBtns(rec);
        if (!said.empty() && onFirstRead)
            onFirstRead(rec, said);
    }
    return rec;
}
