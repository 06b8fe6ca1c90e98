#include "toolbar/ImageList.h"

namespace {

constexpr int Side = 16;
constexpr int Builtins = 2;

QPixmap toPicture(const QImage& image)
{
    if (image.isNull())
        return {};
    if (image.width() == Side && image.height() == Side)
        return QPixmap::fromImage(image);
    return QPixmap::fromImage(image.scaled(Side, Side, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
}

} // namespace

ImageList::ImageList(const QPixmap& file, const QPixmap& folder)
{
    m_pictures.reserve(Builtins);
    m_pictures.push_back(file);
    m_pictures.push_back(folder);
}

void ImageList::put(int position, const QImage& image)
{
    // The built-in pictures are shared by every entry without an icon of its own, so
    // they are never overwritten; positions beyond anything sensible are refused too.
    if (position <= Builtins || position > 0xFFFF)
        return;
    const auto index = static_cast<std::size_t>(position - 1);
    if (m_pictures.size() <= index)
        m_pictures.resize(index + 1);
    m_pictures[index] = toPicture(image);
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
