#include "platform/FileIconSource.h"
#include "platform/IcoParser.h"
#include "platform/IcoReader.h"
#include "platform/IconReader.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <map>
#include <string>
#include <vector>

namespace {

// ---- Building icon files -------------------------------------------------------------

void putU16(QByteArray& b, int v)
{
    b.append(char(v & 0xFF)).append(char((v >> 8) & 0xFF));
}

void putU32(QByteArray& b, quint32 v)
{
    for (int i = 0; i < 4; ++i)
        b.append(char((v >> (8 * i)) & 0xFF));
}

// A 16x16-or-other picture: left half clear, right half red above blue below.
QImage testPicture(int w, int h, QRgb top = qRgb(255, 0, 0), QRgb bottom = qRgb(0, 0, 255))
{
    QImage image(w, h, QImage::Format_ARGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image.setPixel(x, y, x < w / 2 ? 0u : (y < h / 2 ? top : bottom));
    return image;
}

QImage solid(int w, int h, QRgb colour)
{
    QImage image(w, h, QImage::Format_ARGB32);
    image.fill(colour);
    return image;
}

// The picture as an icon bitmap of the given depth; transparency goes into the AND mask
// (and, at 32 bits, into alpha unless withAlpha is false).
QByteArray bitmapOf(const QImage& image, int bpp, bool withAlpha = true)
{
    const int w = image.width(), h = image.height();
    std::vector<QRgb> palette;
    std::map<QRgb, int> index;
    if (bpp <= 8) {
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const QRgb c = image.pixel(x, y) | 0xFF000000u;
                if (qAlpha(image.pixel(x, y)) != 0 && !index.count(c)) {
                    index[c] = int(palette.size());
                    palette.push_back(c);
                }
            }
        EXPECT_LE(palette.size(), size_t(1) << bpp);
    }
    QByteArray b;
    putU32(b, 40);
    putU32(b, quint32(w));
    putU32(b, quint32(2 * h));
    putU16(b, 1);
    putU16(b, bpp);
    putU32(b, 0);
    putU32(b, 0);
    putU32(b, 0);
    putU32(b, 0);
    putU32(b, quint32(palette.size()));
    putU32(b, 0);
    for (QRgb c : palette) {
        b.append(char(qBlue(c))).append(char(qGreen(c))).append(char(qRed(c))).append('\0');
    }
    const int xorStride = ((w * bpp + 31) / 32) * 4;
    const int andStride = ((w + 31) / 32) * 4;
    for (int y = h - 1; y >= 0; --y) {
        QByteArray row(xorStride, '\0');
        for (int x = 0; x < w; ++x) {
            const QRgb c = image.pixel(x, y);
            if (bpp == 32) {
                row[4 * x] = char(qBlue(c));
                row[4 * x + 1] = char(qGreen(c));
                row[4 * x + 2] = char(qRed(c));
                row[4 * x + 3] = char(withAlpha ? qAlpha(c) : 0);
            } else if (bpp == 24) {
                row[3 * x] = char(qBlue(c));
                row[3 * x + 1] = char(qGreen(c));
                row[3 * x + 2] = char(qRed(c));
            } else {
                // Clear pixels take colour 0: the mask hides them anyway.
                const int i = qAlpha(c) == 0 ? 0 : index[c | 0xFF000000u];
                const int bit = x * bpp;
                row[bit / 8] = char(row[bit / 8] | (i << (8 - bpp - bit % 8)));
            }
        }
        b.append(row);
    }
    for (int y = h - 1; y >= 0; --y) {
        QByteArray row(andStride, '\0');
        for (int x = 0; x < w; ++x)
            if (qAlpha(image.pixel(x, y)) == 0)
                row[x / 8] = char(row[x / 8] | (0x80 >> (x % 8)));
        b.append(row);
    }
    return b;
}

QByteArray pngOf(const QImage& image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

struct Picture {
    int width, height, bpp;
    QByteArray data;
};

QByteArray icoOf(const std::vector<Picture>& pictures)
{
    QByteArray b;
    putU16(b, 0);
    putU16(b, 1);
    putU16(b, int(pictures.size()));
    quint32 offset = quint32(6 + 16 * pictures.size());
    for (const Picture& p : pictures) {
        b.append(char(p.width >= 256 ? 0 : p.width)).append(char(p.height >= 256 ? 0 : p.height));
        b.append('\0').append('\0');
        putU16(b, 1);
        putU16(b, p.bpp);
        putU32(b, quint32(p.data.size()));
        putU32(b, offset);
        offset += quint32(p.data.size());
    }
    for (const Picture& p : pictures)
        b.append(p.data);
    return b;
}

Picture bitmapPicture(const QImage& image, int bpp)
{
    return {image.width(), image.height(), bpp, bitmapOf(image, bpp)};
}

class Files {
public:
    std::string write(const QString& name, const QByteArray& bytes)
    {
        const QString path = m_dir.filePath(name);
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return path.toStdString();
    }
    std::string path(const QString& name) const { return m_dir.filePath(name).toStdString(); }

private:
    QTemporaryDir m_dir;
};

QRgb opaque(QRgb c)
{
    return c | 0xFF000000u;
}

// ---- Tests ----------------------------------------------------------------------------

TEST(IcoFile, EveryBitmapDepthKeepsColoursAndMask)
{
    for (int bpp : {1, 4, 8, 24, 32}) {
        SCOPED_TRACE(bpp);
        const QImage image = IcoReader::decode(icoOf({bitmapPicture(testPicture(16, 16), bpp)}));
        ASSERT_EQ(image.size(), QSize(16, 16));
        EXPECT_EQ(qAlpha(image.pixel(2, 2)), 0);
        EXPECT_EQ(qAlpha(image.pixel(7, 14)), 0);
        EXPECT_EQ(image.pixel(12, 2), qRgb(255, 0, 0));
        EXPECT_EQ(image.pixel(12, 13), qRgb(0, 0, 255));
    }
}

TEST(IcoFile, ThirtyTwoBitsWithoutAlphaFallBackOnTheMask)
{
    const QImage picture = testPicture(16, 16);
    const QImage image = IcoReader::decode(icoOf({{16, 16, 32, bitmapOf(picture, 32, false)}}));
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(qAlpha(image.pixel(2, 2)), 0);
    EXPECT_EQ(image.pixel(12, 2), qRgb(255, 0, 0));
}

TEST(IcoFile, ChoosesThePictureNearestSixteen)
{
    const QRgb red = qRgb(255, 0, 0), green = qRgb(0, 255, 0), blue = qRgb(0, 0, 255), grey = qRgb(90, 90, 90);
    struct Row {
        const char* name;
        std::vector<Picture> pictures;
        QRgb expected;
    };
    const std::vector<Row> rows = {
        {"exact size, deepest colour",
         {bitmapPicture(solid(32, 32, red), 8), bitmapPicture(solid(16, 16, green), 4),
          bitmapPicture(solid(16, 16, blue), 32), bitmapPicture(solid(48, 48, grey), 32)},
         blue},
        {"larger before smaller", {bitmapPicture(solid(8, 8, red), 32), bitmapPicture(solid(32, 32, green), 32)}, green},
        {"nearest larger", {bitmapPicture(solid(48, 48, red), 32), bitmapPicture(solid(24, 24, green), 32)}, green},
        {"nearest smaller", {bitmapPicture(solid(8, 8, red), 32), bitmapPicture(solid(12, 12, green), 32)}, green},
        {"a damaged best picture gives way",
         {{16, 16, 32, QByteArray(40, '\x7f')}, bitmapPicture(solid(32, 32, green), 32)},
         green},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const QImage image = IcoReader::decode(icoOf(row.pictures));
        ASSERT_EQ(image.size(), QSize(16, 16));
        EXPECT_EQ(opaque(image.pixel(8, 8)), row.expected);
    }
}

TEST(IcoFile, LargePngPictureIsScaledDownSmoothly)
{
    // 256x256, left half black, right half white: the scaled edge column is a blend.
    QImage big(256, 256, QImage::Format_ARGB32);
    big.fill(Qt::white);
    QPainter(&big).fillRect(0, 0, 128, 256, Qt::black);
    const QByteArray ico = icoOf({{256, 256, 32, pngOf(big)}});

    const auto entries = ico::readDirectory(
        {reinterpret_cast<const std::uint8_t*>(ico.constData()), std::size_t(ico.size())});
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_TRUE(entries[0].png);
    EXPECT_EQ(entries[0].width, 256);

    const QImage image = IcoReader::decode(ico);
    ASSERT_EQ(image.size(), QSize(16, 16));
    EXPECT_EQ(opaque(image.pixel(1, 8)), qRgb(0, 0, 0));
    EXPECT_EQ(opaque(image.pixel(14, 8)), qRgb(255, 255, 255));
}

TEST(FileIconSource, ReadsEachFormatAsOneIcon)
{
    Files files;
    const QImage picture = solid(32, 32, qRgb(200, 30, 30));
    QTemporaryDir dir;
    std::map<std::string, std::string> paths;
    for (const char* format : {"png", "jpg", "xpm"}) {
        const QString path = dir.filePath(QString("icon.") + format);
        ASSERT_TRUE(picture.save(path, format)) << format;
        paths[format] = path.toStdString();
    }
    paths["svg"] = files.write("icon.svg", "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"32\" height=\"32\">"
                                           "<rect width=\"32\" height=\"32\" fill=\"#c81e1e\"/></svg>");
    paths["ico"] = files.write("icon.ico", icoOf({bitmapPicture(solid(16, 16, qRgb(200, 30, 30)), 24)}));
    // Content speaks before the name: a PNG named .ico and one with no known suffix.
    paths["png named ico"] = files.write("png.ico", pngOf(picture));
    paths["png named dat"] = files.write("png.dat", pngOf(picture));

    FileIconSource icons;
    for (const auto& [format, path] : paths) {
        SCOPED_TRACE(format);
        EXPECT_EQ(icons.count(path), 1);
        const QImage image = icons.draw(path, 0);
        ASSERT_EQ(image.size(), QSize(16, 16));
        const QRgb c = image.pixel(8, 8);
        EXPECT_NEAR(qRed(c), 200, 8);
        EXPECT_NEAR(qGreen(c), 30, 8);
        EXPECT_NEAR(qBlue(c), 30, 8);
        EXPECT_TRUE(icons.draw(path, 1).isNull());
        EXPECT_TRUE(icons.draw(path, -1).isNull());
    }
}

TEST(FileIconSource, WidePictureKeepsItsProportions)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("wide.png");
    ASSERT_TRUE(solid(64, 32, qRgb(0, 128, 0)).save(path, "png"));
    FileIconSource icons;
    const QImage image = icons.draw(path.toStdString(), 0);
    ASSERT_EQ(image.size(), QSize(16, 16));
    EXPECT_EQ(qAlpha(image.pixel(8, 1)), 0);
    EXPECT_EQ(opaque(image.pixel(8, 8)), qRgb(0, 128, 0));
}

TEST(FileIconSource, DamagedFilesGiveNothing)
{
    QDir bad(QStringLiteral(VYRE_TEST_DATA "/icons/bad"));
    const QStringList names = bad.entryList(QDir::Files);
    ASSERT_GE(names.size(), 20);
    FileIconSource icons;
    for (const QString& name : names) {
        SCOPED_TRACE(name.toStdString());
        const std::string path = bad.filePath(name).toStdString();
        EXPECT_EQ(icons.count(path), 0);
        EXPECT_TRUE(icons.draw(path, 0).isNull());
    }
}

TEST(FileIconSource, WhatIsNotAFileGivesNothingAndNeverBlocks)
{
    QTemporaryDir dir;
    const std::string fifo = dir.filePath("pipe.ico").toStdString();
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    FileIconSource icons;
    for (const std::string& path : {std::string(), dir.filePath("missing.ico").toStdString(), dir.path().toStdString(),
                                    fifo, std::string("/dev/zero")}) {
        SCOPED_TRACE(path);
        EXPECT_EQ(icons.count(path), 0);
        EXPECT_TRUE(icons.draw(path, 0).isNull());
    }
}

// A reader of made-up "TEST" files that counts how often it reads one.
class CountingReader final : public IconReader {
public:
    bool recognises(const QByteArray& head) const override { return head.startsWith("TEST"); }
    bool handlesSuffix(const QString&) const override { return false; }
    int count(const QString&) const override
    {
        ++counts;
        return 3;
    }
    QImage draw(const QString&, int index0) const override
    {
        ++draws;
        return solid(16, 16, qRgb(index0 * 50, 0, 0));
    }
    mutable int counts = 0;
    mutable int draws = 0;
};

TEST(FileIconSource, DecodesAFileOnceUntilItChanges)
{
    Files files;
    const std::string path = files.write("three.test", "TEST one");
    FileIconSource icons;
    auto owned = std::make_unique<CountingReader>();
    CountingReader* reader = owned.get();
    icons.addReader(std::move(owned));

    for (int i = 0; i < 100; ++i) {
        EXPECT_EQ(icons.count(path), 3);
        EXPECT_EQ(icons.draw(path, 2).pixel(0, 0), qRgb(100, 0, 0));
    }
    EXPECT_EQ(reader->counts, 1);
    EXPECT_EQ(reader->draws, 1);
    EXPECT_TRUE(icons.draw(path, 3).isNull()); // past the count: not even asked
    EXPECT_EQ(reader->draws, 1);

    files.write("three.test", "TEST one, rewritten longer");
    EXPECT_EQ(icons.count(path), 3);
    icons.draw(path, 2);
    EXPECT_EQ(reader->counts, 2);
    EXPECT_EQ(reader->draws, 2);
}

} // namespace
