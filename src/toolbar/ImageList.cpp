#include "toolbar/ImageList.h"

#include <QtMath>

namespace {

constexpr int Builtins = ImageList::FirstCustom - 1;
// Far more distinct icons than any set shows; beyond it the pictures are made anew.
constexpr std::size_t MaxShared = 4096;

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

QPixmap ButtonPictures::picture(const QImage& icon, qreal ratio)
{
    if (icon.isNull())
        return {};
    const qint64 key = icon.cacheKey();
    const auto [first, last] = m_made.equal_range(key);
    for (auto it = first; it != last; ++it)
        if (it->second.ratio == ratio)
            return it->second.picture;
    const int side = qCeil(16 * ratio);
    QPixmap picture = QPixmap::fromImage(icon.size() == QSize(side, side)
                                             ? icon
                                             : icon.scaled(side, side, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    picture.setDevicePixelRatio(ratio);
    if (m_made.size() >= MaxShared)
        m_made.clear();
    m_made.emplace(key, Made{ratio, picture});
    return picture;
}
