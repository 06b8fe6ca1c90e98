#include "icons/IconImageReader.h"

#include <algorithm>

#include <QBuffer>
#include <QImageReader>
#include <QXmlStreamReader>

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

// Pictures inside pictures (an SVG's data: images) are looked at this deep; deeper is refused.
constexpr int MaxNesting = 2;

QString refusalAt(const QByteArray& bytes, int depth);

bool isJpeg(const QByteArray& bytes)
{
    return bytes.startsWith("\xFF\xD8"); // all the JPEG reader asks for
}

// The scans of a JPEG and its size, read off its markers without decoding anything. The
// decoder makes a pass over the whole picture for every scan, however few bytes the scan
// holds, so thousands of tiny scans make a small file cost minutes.
QString jpegRefusal(const QByteArray& b)
{
    const auto* p = reinterpret_cast<const std::uint8_t*>(b.constData());
    const qsizetype n = b.size();
    qint64 pixels = 0;
    int scans = 0;
    qsizetype at = 2;
    while (at + 4 <= n) {
        if (p[at] != 0xFF) {
            ++at; // stray bytes between segments: the decoder skips them too
            continue;
        }
        const std::uint8_t marker = p[at + 1];
        if (marker == 0xFF) {
            ++at; // fill byte
            continue;
        }
        if (marker == 0xD9)
            break; // end of picture
        if ((marker >= 0xD0 && marker <= 0xD7) || marker == 0x01) {
            at += 2;
            continue;
        }
        const qsizetype length = qsizetype(p[at + 2]) << 8 | p[at + 3];
        if (length < 2)
            break;
        // A frame header (any SOFn but DHT, JPG and DAC): the picture's height and width.
        if (marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC
            && at + 9 <= n)
            pixels = (qint64(p[at + 5]) << 8 | p[at + 6]) * (qint64(p[at + 7]) << 8 | p[at + 8]);
        at += 2 + length;
        if (marker != 0xDA)
            continue;
        ++scans;
        if (scans > IconImageReader::MaxJpegScans || qint64(scans) * pixels > IconImageReader::MaxJpegScanPixels)
            return QStringLiteral("a JPEG of more than %1 scans, or scans costing more than its size is worth")
                .arg(IconImageReader::MaxJpegScans);
        // The scan's data runs to the next marker that is not a stuffed byte or a restart.
        while (at + 1 < n && !(p[at] == 0xFF && p[at + 1] != 0 && !(p[at + 1] >= 0xD0 && p[at + 1] <= 0xD7)))
            ++at;
    }
    return {};
}

// An SVG is drawn from memory, but the renderer opens whatever file an <image> names
// itself (an absolute path, or one relative to the current folder, even "#id"), and
// decodes a data: image with any reader it has, an SVG reader included. So every
// reference is looked at first: only a reference inside the drawing ("#id", not for an
// image) or a data: picture of a plain kind that is itself acceptable may stay.
QString svgRefusal(const QByteArray& bytes, int depth)
{
    QXmlStreamReader xml(bytes);
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        const bool image = xml.name() == QLatin1String("image");
        for (const QXmlStreamAttribute& a : xml.attributes()) {
            if (a.name() != QLatin1String("href"))
                continue;
            // As written: the renderer does not trim, and " #x" is a file's name to it.
            const QStringView value = a.value();
            if (value.isEmpty() || (!image && value.startsWith(QLatin1Char('#'))))
                continue;
            if (!value.startsWith(QLatin1String("data:")))
                return QStringLiteral("an SVG that refers to another file");
            // Decoded where the renderer decodes it: after the last "base64,".
            const qsizetype at = value.lastIndexOf(QLatin1String("base64,"));
            if (at < 0)
                continue; // the renderer decodes nothing else
            if (depth >= MaxNesting)
                return QStringLiteral("an SVG with pictures nested too deep");
            const QByteArray inner = QByteArray::fromBase64(value.mid(at + 7).toLatin1());
            if (!inner.startsWith("\x89PNG\r\n\x1a\n") && !isJpeg(inner) && !looksLikeBmp(inner)
                && !inner.startsWith("GIF8"))
                return QStringLiteral("an SVG holding a picture of a kind not drawn inside one");
            if (const QString why = refusalAt(inner, depth + 1); !why.isEmpty())
                return why;
        }
    }
    // What the renderer could not read whole is not given to it to guess at.
    if (xml.hasError())
        return QStringLiteral("an SVG that is not well-formed: ") + xml.errorString();
    return {};
}

QString refusalAt(const QByteArray& bytes, int depth)
{
    // Compressed SVG is not read: a small file could inflate without bound.
    if (bytes.startsWith("\x1f\x8b"))
        return QStringLiteral("a compressed picture");
    if (looksLikeSvg(bytes))
        return svgRefusal(bytes, depth);
    if (isJpeg(bytes))
        return jpegRefusal(bytes);
    return {};
}

// The kind of a plain picture by its first bytes, as the decoders themselves tell them:
// null for any other kind, which is not drawn.
const char* pictureFormat(const QByteArray& bytes)
{
    if (bytes.startsWith("\x89PNG\r\n\x1a\n"))
        return "png";
    if (isJpeg(bytes))
        return "jpeg";
    if (bytes.startsWith("/* XPM"))
        return "xpm";
    if (bytes.startsWith("BM"))
        return "bmp";
    return nullptr;
}

QImage readPicture(const QByteArray& bytes, int side)
{
    // The kind is told here, not left to the reader: guessing it asks every image-format
    // plugin installed whether it knows the bytes, which loads them all (a dozen
    // libraries) at the first picture and questions them again at every one after.
    const char* format = pictureFormat(bytes);
    if (!format)
        return {};
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, format);
    reader.setAutoDetectImageFormat(false);
    reader.setAllocationLimit(256);
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
    if (file.isEmpty() || !refusal(file).isEmpty())
        return {};
    if (looksLikeSvg(file))
        return iconfile::fitToIcon(renderSvg(file, side), side);
    return iconfile::fitToIcon(readPicture(file, side), side);
}

QString IconImageReader::refusal(const QByteArray& file)
{
    return refusalAt(file, 0);
}
