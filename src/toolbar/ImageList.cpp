#include "toolbar/ImageList.h"

namespace {

constexpr int Builtins = ImageList::FirstCustom - 1;

} // namespace

ImageList::ImageList(const QPixmap& file, const QPixmap& folder)
{
    m_pictures.reserve(Builtins);
    m_pictures.push_back(file);
    m_pictures.push_back(folder);
}

void ImageList::put(int position, const QPixmap& picture)
{
    // The built-in pictures are shared by every entry without an icon of its own, so
    // they are never overwritten; positions beyond anything sensible are refused too.
    if (position <= Builtins || position > 0xFFFF)
        return;
    const auto index = static_cast<std::size_t>(position - 1);
    if (m_pictures.size() <= index)
        m_pictures.resize(index + 1);
    m_pictures[index] = picture;
}

QPixmap ImageList::picture(int position) const
{
    if (position < 1 || position > count())
        return {};
    return m_pictures[static_cast<std::size_t>(position - 1)];
}

void ImageList::clearCustom()
{
    m_pictures.resize(Builtins);
}
