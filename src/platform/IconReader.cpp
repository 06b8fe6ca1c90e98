#include "platform/IconReader.h"

#include <QFile>
#include <QFileInfo>
#include <QPainter>

namespace iconfile {

QByteArray readBounded(const QString& path, qint64 limit)
{
    const QFileInfo info(path);
    // Only plain files: opening a pipe or a device would block or never end.
    if (path.isEmpty() || !info.isFile() || info.size() <= 0 || info.size() > limit)
        return {};
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    // Read at most limit bytes, even if the file grew since it was measured.
    QByteArray bytes = file.read(limit + 1);
    if (bytes.size() > limit)
        return {};
    return bytes;
}

QImage fitToIcon(const QImage& image)
{
    if (image.isNull())
        return {};
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
