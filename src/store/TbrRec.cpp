#include "store/TbrRec.h"

#include <cassert>

namespace {
// One table keeps the mode numbers and the record's fields in a single order.
constexpr Bool16 TbrRec::*ModeFields[ModeCount] = {
    &TbrRec::Vertical, &TbrRec::Captions, &TbrRec::AlwaysOnTop,
    &TbrRec::Visible,  &TbrRec::AutoHide, &TbrRec::Unmoveable,
};
} // namespace

Bool16& TbrRec::mode(int m)
{
    assert(m >= 0 && m < ModeCount);
    return this->*ModeFields[m];
}

Bool16 TbrRec::mode(int m) const
{
    assert(m >= 0 && m < ModeCount);
    return this->*ModeFields[m];
}

bool isBlankButton(const BtnRec& b)
{
    return b.Kind != KindSeparator
        && b.Executable.find_first_not_of(" \t") == std::string::npos;
}
