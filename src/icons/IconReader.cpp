#include "icons/IconReader.h"

#include <algorithm>

#include <QPainter>

namespace iconfile {

QImage fitToIcon(const QImage& image, int side)
{
    if (image.isNull())
        return {};
    const int Side = std::clamp(side, 1, MaxSide);
    QImage argb = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    if (argb.width() == Side && argb.height() == Side)
        return argb;
    const QImage scaled = argb.scaled(Side, Side, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    if (scaled.width() == Side && scaled.height() == Side)
        return scaled;
    QImage square(Side, Side, QImage::Format_ARGB32_Premultiplied);
    square.fill(Qt::transparent);
    QPainter p(&square);
    p.drawImage((Side - scaled.width()) / 2, (Side - scaled.height()) / 2, scaled);
    p.end();
    return square;
}

} // namespace iconfile
