#include "platform/IconImageReader.h"

#include <algorithm>

#include <QBuffer>
#include <QImageReader>

namespace {

constexpr qint64 MaxPictureFile = 32 * 1024 * 1024;
// A photograph used as an icon may be large; a picture beyond this is refused.
constexpr int MaxPictureSide = 8192;

bool looksLikeSvg(const QByteArray& bytes)
{
    const QByteArray head = bytes.left(1024);
    return head.contains("<svg") || (head.startsWith("<?xml") && bytes.left(4096).contains("<svg"));
}

// "BM", then the file's size and two reserved words of zero: two letters alone would
// take many a text file for a bitmap.
bool looksLikeBmp(const QByteArray& head)
{
    return head.size() >= 18 && head.startsWith("BM") && head[6] == 0 && head[7] == 0 && head[8] == 0 && head[9] == 0;
}

// SVG goes through Qt's "svg" image-format plugin rather than through Qt SVG linked in:
// the plugin, and the SVG library with it, is then loaded only once an SVG icon is
// drawn, instead of at every start.
QImage renderSvg(const QByteArray& bytes, int iconSide)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "svg");
    reader.setAutoDetectImageFormat(false);
    reader.setAllocationLimit(16);
    // Drawn straight at icon size, in its own proportions: the plugin stretches the
    // drawing to whatever size it is given. A drawing that names no size fills the square.
    const QSize natural = reader.size();
    const QSize side(iconSide, iconSide);
    QSize target = natural.isValid() && !natural.isEmpty() ? natural.scaled(side, Qt::KeepAspectRatio) : side;
    target = target.expandedTo(QSize(1, 1));
    reader.setScaledSize(target);
    return reader.read();
}

QImage readPicture(const QByteArray& bytes, int side)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    reader.setAllocationLimit(256);
    const QByteArray format = reader.format();
    if (format != "png" && format != "jpeg" && format != "jpg" && format != "xpm" && format != "bmp")
        return {};
    const QSize size = reader.size();
    if (size.isValid() && (size.width() > MaxPictureSide || size.height() > MaxPictureSide))
        return {};
    // Large pictures are decoded straight at a small size where the format allows it.
    if (size.isValid() && reader.supportsOption(QImageIOHandler::ScaledSize)
        && (size.width() > 4 * side || size.height() > 4 * side))
        reader.setScaledSize(size.scaled(4 * side, 4 * side, Qt::KeepAspectRatio));
    return reader.read();
}

} // namespace

bool IconImageReader::recognises(const QByteArray& head) const
{
    return head.startsWith("\x89PNG\r\n\x1a\n") || head.startsWith("\xFF\xD8\xFF") || head.startsWith("/* XPM */")
        || looksLikeSvg(head) || looksLikeBmp(head);
}

bool IconImageReader::handlesSuffix(const QString& suffix) const
{
    static const char* const suffixes[] = {"png", "jpg", "jpeg", "jpe", "xpm", "svg", "bmp"};
    for (const char* s : suffixes)
        if (suffix == QLatin1String(s))
            return true;
    return false;
}

int IconImageReader::count(const QString& path) const
{
    return draw(path, 0).isNull() ? 0 : 1;
}

QImage IconImageReader::draw(const QString& path, int index0, int side) const
{
    if (index0 != 0)
        return {};
    return decode(iconfile::readBounded(path, MaxPictureFile), side);
}

QImage IconImageReader::decode(const QByteArray& file, int side)
{
    side = std::clamp(side, 1, iconfile::MaxSide);
    if (file.isEmpty())
        return {};
    // Compressed SVG is not read: a small file could inflate without bound.
    if (file.startsWith("\x1f\x8b"))
        return {};
    if (looksLikeSvg(file))
        return iconfile::fitToIcon(renderSvg(file, side), side);
    return iconfile::fitToIcon(readPicture(file, side), side);
}
