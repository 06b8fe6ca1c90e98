#include "platform/IconImageReader.h"

#include <QBuffer>
#include <QImageReader>
#include <QPainter>
#include <QSvgRenderer>

namespace {

constexpr qint64 MaxPictureFile = 32 * 1024 * 1024;
// A photograph used as an icon may be large; a picture beyond this is refused.
constexpr int MaxPictureSide = 8192;

bool looksLikeSvg(const QByteArray& bytes)
{
    const QByteArray head = bytes.left(1024);
    return head.contains("<svg") || (head.startsWith("<?xml") && bytes.left(4096).contains("<svg"));
}

QImage renderSvg(const QByteArray& bytes)
{
    QSvgRenderer renderer;
    if (!renderer.load(bytes) || !renderer.isValid())
        return {};
    renderer.setAspectRatioMode(Qt::KeepAspectRatio);
    QImage image(iconfile::Side, iconfile::Side, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    renderer.render(&p);
    p.end();
    return image;
}

QImage readPicture(const QByteArray& bytes)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    reader.setAllocationLimit(256);
    const QByteArray format = reader.format();
    if (format != "png" && format != "jpeg" && format != "jpg" && format != "xpm")
        return {};
    const QSize size = reader.size();
    if (size.isValid() && (size.width() > MaxPictureSide || size.height() > MaxPictureSide))
        return {};
    // Large pictures are decoded straight at a small size where the format allows it.
    if (size.isValid() && reader.supportsOption(QImageIOHandler::ScaledSize)
        && (size.width() > 4 * iconfile::Side || size.height() > 4 * iconfile::Side))
        reader.setScaledSize(size.scaled(4 * iconfile::Side, 4 * iconfile::Side, Qt::KeepAspectRatio));
    return reader.read();
}

} // namespace

bool IconImageReader::recognises(const QByteArray& head) const
{
    return head.startsWith("\x89PNG\r\n\x1a\n") || head.startsWith("\xFF\xD8\xFF") || head.startsWith("/* XPM */")
        || looksLikeSvg(head);
}

bool IconImageReader::handlesSuffix(const QString& suffix) const
{
    static const char* const suffixes[] = {"png", "jpg", "jpeg", "jpe", "xpm", "svg"};
    for (const char* s : suffixes)
        if (suffix == QLatin1String(s))
            return true;
    return false;
}

int IconImageReader::count(const QString& path) const
{
    return draw(path, 0).isNull() ? 0 : 1;
}

QImage IconImageReader::draw(const QString& path, int index0) const
{
    if (index0 != 0)
        return {};
    return decode(iconfile::readBounded(path, MaxPictureFile));
}

QImage IconImageReader::decode(const QByteArray& file)
{
    if (file.isEmpty())
        return {};
    // Compressed SVG is not read: a small file could inflate without bound.
    if (looksLikeSvg(file))
        return renderSvg(file);
    return iconfile::fitToIcon(readPicture(file));
}
