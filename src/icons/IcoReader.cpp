#include "icons/IcoReader.h"

#include "formats/IcoParser.h"

#include <QBuffer>
#include <QImageReader>

#include <set>
#include <span>
#include <utility>

namespace {

// Multi-size icons with 256x256 PNG pictures stay well below this.
constexpr qint64 MaxIconFile = 16 * 1024 * 1024;

std::span<const std::uint8_t> bytesOf(const QByteArray& a)
{
    return {reinterpret_cast<const std::uint8_t*>(a.constData()), static_cast<std::size_t>(a.size())};
}

QImage decodePng(const QByteArray& data)
{
    QBuffer buffer;
    buffer.setData(data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "png");
    // Without this the reader still asks every image-format plugin about the bytes,
    // loading them all, though it was told the kind.
    reader.setAutoDetectImageFormat(false);
    reader.setAllocationLimit(64);
    const QSize size = reader.size();
    if (!size.isValid() || size.width() > ico::MaxSide || size.height() > ico::MaxSide)
        return {};
    return reader.read();
}

QImage toImage(const ico::Picture& picture)
{
    if (picture.empty())
        return {};
    QImage image(picture.width, picture.height, QImage::Format_ARGB32);
    if (image.isNull())
        return {};
    for (int y = 0; y < picture.height; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        const std::uint32_t* from = picture.pixels.data() + static_cast<std::size_t>(y) * picture.width;
        std::copy(from, from + picture.width, line);
    }
    return image;
}

} // namespace

bool IcoReader::recognises(const QByteArray& head) const
{
    return head.size() >= 6 && head[0] == 0 && head[1] == 0 && (head[2] == 1 || head[2] == 2) && head[3] == 0
        && (head[4] != 0 || head[5] != 0);
}

bool IcoReader::handlesSuffix(const QString& suffix) const
{
    return suffix == QLatin1String("ico") || suffix == QLatin1String("cur");
}

int IcoReader::count(const QString& path) const
{
    // Counted as one icon only when a picture actually decodes, so that the count and
    // what draw() gives never disagree.
    return draw(path, 0).isNull() ? 0 : 1;
}

QImage IcoReader::draw(const QString& path, int index0, int side) const
{
    if (index0 != 0)
        return {};
    return decode(iconfile::readBounded(path, MaxIconFile), side);
}

QImage IcoReader::decode(const QByteArray& file, int side)
{
    const auto bytes = bytesOf(file);
    MemoryBytes source(bytes);
    return decodeBest(source, ico::readDirectory(bytes), side);
}

QImage IcoReader::decodeBest(ByteSource& bytes, const std::vector<ico::Entry>& entries, int side, int* tried)
{
    std::set<std::pair<std::size_t, std::size_t>> failed;
    // The best-suited picture that decodes: a damaged one gives way to the next.
    for (std::size_t i : ico::preferenceOrder(entries, side)) {
        const ico::Entry& e = entries[i];
        if (failed.size() >= std::size_t(MaxFailures))
            break;
        if (failed.count({e.offset, e.size}))
            continue;
        QImage image;
        if (e.size <= MaxPictureBytes) {
            const std::vector<std::uint8_t> data = bytes.bytes(e.offset, e.size);
            if (tried)
                ++*tried;
            if (!data.empty())
                image = e.png ? decodePng(QByteArray::fromRawData(reinterpret_cast<const char*>(data.data()),
                                                                  static_cast<qsizetype>(data.size())))
                              : toImage(ico::decodeBitmap(data));
        }
        if (!image.isNull())
            return iconfile::fitToIcon(image, side);
        failed.emplace(e.offset, e.size);
    }
    return {};
}
