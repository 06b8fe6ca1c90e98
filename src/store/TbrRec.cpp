#include "store/TbrRec.h"

#include <cassert>
#include <stdexcept>

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

// What a toolbar whose buttons were never written costs.
static_assert(sizeof(ButtonArray) == sizeof(void*));

ButtonArray::ButtonArray(const ButtonArray& other)
    : m_buttons(other.m_buttons ? std::make_unique<Buttons>(*other.m_buttons) : nullptr)
{
}

ButtonArray& ButtonArray::operator=(const ButtonArray& other)
{
    if (this == &other)
        return *this;
    if (!other.m_buttons)
        m_buttons.reset();
    else if (m_buttons)
        *m_buttons = *other.m_buttons; // the strings already made are reused
    else
        m_buttons = std::make_unique<Buttons>(*other.m_buttons);
    return *this;
}

const BtnRec& ButtonArray::operator[](std::size_t k) const
{
    assert(k < Size);
    static const BtnRec none{};
    return m_buttons ? (*m_buttons)[k] : none;
}

BtnRec& ButtonArray::at(std::size_t k)
{
    if (k >= Size)
        throw std::out_of_range("button " + std::to_string(k) + " past the toolbar's last");
    return (*this)[k];
}

const BtnRec& ButtonArray::at(std::size_t k) const
{
    if (k >= Size)
        throw std::out_of_range("button " + std::to_string(k) + " past the toolbar's last");
    return (*this)[k];
}

ButtonArray::Buttons& ButtonArray::made()
{
    if (!m_buttons)
        m_buttons = std::make_unique<Buttons>();
    return *m_buttons;
}
