#include "store/ToolbarSet.h"

void ToolbarSet::RedimTbrs(std::size_t upper)
{
    // Records are only ever added: windows hold their index, so existing elements must
    // stay where they are.
    if (Tbrs.size() < upper + 1)
        Tbrs.resize(upper + 1);
}
