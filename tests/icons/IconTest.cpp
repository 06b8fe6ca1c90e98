#include "support/TestHelpers.h"
#include "icons/FileIconSource.h"
#include "icons/IconImageReader.h"
#include "icons/IconReader.h"
#include "support/IconFixtures.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <functional>
#include <string>
#include <vector>

namespace {

const QString Good = QStringLiteral(VYRE_TEST_DATA "/icons/good/");

using fixture::solid;

TEST(FileIconSource, EveryFormatIsOneIconRecognisedByContentDrawnAtAnySideInProportion)
{
    QTemporaryDir dir;
    const QRgb red = qRgb(200, 30, 30), green = qRgb(0, 128, 0);
    const QByteArray svg = "<svg xmlns=\"http://www.w3.org/2000/svg\" ";
    const QByteArray wideRect = "<rect width=\"64\" height=\"32\" fill=\"#008000\"/></svg>";
    for (const char* format : {"png", "jpg", "xpm"})
        ASSERT_TRUE(solid(32, 32, red).save(dir.filePath(QString("icon.") + format), format));
    ASSERT_TRUE(solid(64, 32, green).save(dir.filePath("wide.png"), "png"));
    writeFile(dir.filePath("icon.svg"), svg + "width=\"32\" height=\"32\"><rect width=\"32\" height=\"32\" fill=\"#c81e1e\"/></svg>");
    writeFile(dir.filePath("wide.svg"), svg + "width=\"64\" height=\"32\">" + wideRect);
    writeFile(dir.filePath("viewbox.svg"), "<?xml version=\"1.0\"?>\n" + svg + "viewBox=\"0 0 64 32\">" + wideRect);
    QFile::copy(dir.filePath("icon.png"), dir.filePath("png.ico")); // content speaks before the name
    // Red squares, and green pictures twice as wide as high: letterboxed, not squeezed.
    const struct { QString path; bool wide; } rows[] = {
        {dir.filePath("icon.png"), false}, {dir.filePath("icon.jpg"), false},  {dir.filePath("icon.xpm"), false},
        {dir.filePath("icon.svg"), false}, {Good + "solid-c81e1e.ico", false}, {dir.filePath("png.ico"), false},
        {dir.filePath("wide.png"), true},   {dir.filePath("wide.svg"), true},
        {dir.filePath("viewbox.svg"), true},
    };
    FileIconSource icons;
    for (const auto& row : rows) {
        SCOPED_TRACE(row.path.toStdString());
        const std::string p = row.path.toStdString();
        EXPECT_EQ(icons.count(p), 1);
        for (int side : {16, 32, 16}) { // 32 for a screen at 200 %; the smaller one kept apart
            const QImage image = icons.draw(p, 0, side);
            ASSERT_EQ(image.size(), QSize(side, side));
            EXPECT_TRUE(fixture::near(image.pixel(side / 2, side / 2), row.wide ? green : red)) << side;
            EXPECT_EQ(qAlpha(image.pixel(side / 2, 1)), row.wide ? 0 : 255);
        }
        for (const auto& [index, side] : {std::pair(1, 16), {-1, 16}, {0, 0}})
            EXPECT_TRUE(icons.draw(p, index, side).isNull()) << index << " at " << side;
    }
}

// Damaged icons, and whatever is no picture or program whatever its name says (kinds
// that are no plain picture, as GIF and TIFF, included).
TEST(FileIconSource, DamagedFilesAndWhatIsNotAFileGiveNothingAndNeverBlock)
{
    QDir bad(QStringLiteral(VYRE_TEST_DATA "/icons/bad"));
    std::vector<std::string> paths;
    for (const QString& name : bad.entryList(QDir::Files))
        paths.push_back(bad.filePath(name).toStdString());
    ASSERT_GE(paths.size(), 30u);
    // A pipe named as a program library: never opened, as pipes of any name are (formats).
    QTemporaryDir dir;
    ASSERT_EQ(mkfifo(QFile::encodeName(dir.filePath("pipe.dll")).constData(), 0600), 0);
    writeFile(dir.filePath("gif.png"), QByteArray("GIF89a\x10\x00\x10\x00\x80\x00\x00", 13));
    writeFile(dir.filePath("tiff.png"), QByteArray("II*\x00\x08\x00\x00\x00", 8));
    paths.insert(paths.end(), {dir.filePath("pipe.dll").toStdString(), dir.filePath("gif.png").toStdString(),
                               dir.filePath("tiff.png").toStdString(), "", "/dev/zero"});
    FileIconSource icons;
    for (const std::string& path : paths) {
        EXPECT_EQ(icons.count(path), 0) << path;
        EXPECT_TRUE(icons.draw(path, 0).isNull()) << path;
    }
}

// Files of every size, small or large enough to be read into room made ready beforehand,
// at and beside page sizes, come back byte for byte; one over the limit is not read.
TEST(ReadBounded, FilesOfAnySizeComeBackExactlyAndNoneOverTheLimit)
{
    QTemporaryDir dir;
    for (const qsizetype size : {1, 4095, 4096, 65535, 65536, 65537, 300001, 1 << 20}) {
        SCOPED_TRACE(size);
        QByteArray bytes(size, Qt::Uninitialized);
        for (qsizetype i = 0; i < size; ++i)
            bytes[i] = char((i * 131) >> 3 ^ i);
        const QString path = dir.filePath(QString::number(size));
        writeFile(path, bytes);
        EXPECT_TRUE(readBounded(path, size) == bytes);
        EXPECT_TRUE(readBounded(path, size - 1).isEmpty());
    }
}

// A JPEG of one 64-px frame followed by `scans` scans of a few bytes each: each scan
// costs the decoder a pass over the picture, whatever it holds.
QByteArray jpegOfScans(int scans)
{
    QByteArray b("\xFF\xD8", 2);
    b.append("\xFF\xC2\x00\x11\x08\x00\x40\x00\x40\x03\x01\x11\x00\x02\x11\x01\x03\x11\x01", 19);
    for (int i = 0; i < scans; ++i)
        b.append("\xFF\xDA\x00\x08\x01\x01\x00\x01\x3F\x00\x12\x34\x00\xFF\x00", 15);
    b.append("\xFF\xD9", 2);
    return b;
}

QByteArray svgWith(const QByteArray& inner)
{
    return "<svg xmlns='http://www.w3.org/2000/svg' xmlns:xlink='http://www.w3.org/1999/xlink' width='16' "
           "height='16'><rect id='r' width='16' height='16' fill='#00a000'/>" + inner + "</svg>";
}

TEST(IconImageReader, PicturesThatWouldOpenOtherFilesOrCostFarMoreThanTheyShowAreRefused)
{
    QTemporaryDir dir;
    const QString fifo = dir.filePath("pipe.png");
    ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const QByteArray png = fixture::encoded(solid(8, 8, qRgb(0, 0, 200)), "png");
    const QByteArray outside = svgWith("<image width='8' height='8' xlink:href='" + QFile::encodeName(fifo) + "'/>");
    const QByteArray uri = "data:image/png;base64,";
    const struct { const char* what; QByteArray bytes; bool refused; } rows[] = {
        {"an image naming a pipe", outside, true},
        {"an image naming a relative file", svgWith("<image width='8' height='8' xlink:href='pipe.png'/>"), true},
        {"an image by plain href", svgWith("<image width='8' height='8' href='/dev/zero'/>"), true},
        {"an image naming \"#r\", a file to the renderer", svgWith("<image width='8' height='8' xlink:href='#r'/>"), true},
        {"an image with a blank before data:", svgWith("<image width='8' height='8' xlink:href=' " + uri + png.toBase64() + "'/>"), true},
        {"an embedded SVG naming a pipe", svgWith("<image width='8' height='8' xlink:href='data:image/svg+xml;base64," + outside.toBase64() + "'/>"), true},
        {"an embedded compressed picture", svgWith("<image width='8' height='8' xlink:href='" + uri + QByteArray("\x1f\x8b\x08\x00", 4).toBase64() + "'/>"), true},
        {"an embedded JPEG of 3,000 scans", svgWith("<image width='8' height='8' xlink:href='data:image/jpeg;base64," + jpegOfScans(3000).toBase64() + "'/>"), true},
        {"an SVG cut short", svgWith("<use xlink:href='#r'/>").left(90), true},
        {"a compressed SVG", QByteArray("\x1f\x8b\x08\x00\x00\x00\x00\x00", 8), true},
        {"a JPEG of 65 scans", jpegOfScans(65), true},
        {"a use of a shape inside", svgWith("<use xlink:href='#r'/>"), false},
        {"an embedded PNG", svgWith("<image width='8' height='8' xlink:href='" + uri + png.toBase64() + "'/>"), false},
        {"a progressive JPEG", fixture::encoded(solid(64, 64, qRgb(0, 160, 0)), "jpeg", true), false},
        {"a JPEG of 64 scans", jpegOfScans(64), false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        EXPECT_EQ(!IconImageReader::refusal(row.bytes).isEmpty(), row.refused)
            << IconImageReader::refusal(row.bytes).toStdString();
        EXPECT_TRUE(!row.refused || IconImageReader::decode(row.bytes).isNull());
    }
    EXPECT_FALSE(IconImageReader::decode(svgWith("<use xlink:href='#r'/>")).isNull());
    EXPECT_FALSE(IconImageReader::decode(rows[13].bytes).isNull());
    // Through the source, as a button's icon: nothing blocks on the pipe.
    writeFile(dir.filePath("outside.svg"), outside);
    FileIconSource icons;
    EXPECT_EQ(icons.count(dir.filePath("outside.svg").toStdString()), 0);
}

// A reader of made-up "TEST" files with three icons, each drawn in a colour of its index
// and side, that counts how often it reads one.
class CountingReader final : public IconReader {
public:
    bool recognises(const QByteArray& head) const override { return head.startsWith("TEST"); }
    bool handlesSuffix(const QString&) const override { return false; }
    int count(const QString&) const override { return ++counts, 3; }
    QImage draw(const QString&, int index0, int side) const override
    {
        return ++draws, solid(side, side, qRgb(index0 * 50 + 10, side, 0));
    }
    mutable int counts = 0, draws = 0;
};

// The counting reader added to icons, to be asked how often it read.
const CountingReader& counting(FileIconSource& icons)
{
    auto owned = std::make_unique<CountingReader>();
    const CountingReader& reader = *owned;
    icons.addReader(std::move(owned));
    return reader;
}

// A file is looked at once for all the buttons of a build, and a change to it is drawn
// at the next build, once the event loop has run.
TEST(FileIconSource, AFileIsLookedAtOncePerPassAndItsChangesSeenAtTheNext)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("one.test");
    writeFile(path, "TEST one");
    FileIconSource icons;
    const CountingReader& reader = counting(icons);
    for (const auto& [content, draws] : {std::pair("TEST one", 1), std::pair("TEST one, rewritten", 2)}) {
        writeFile(path, content);
        for (int button = 0; button < 3; ++button) {
            EXPECT_FALSE(icons.draw(path.toStdString(), 0).isNull());
            writeFile(path, QByteArray(content) + " and more");
        }
        EXPECT_EQ(reader.draws, draws) << content;
        QCoreApplication::processEvents();
    }
}

class IconCacheFileTest : public ::testing::Test {
protected:
    // One run of the program: draws icons 0 to 2 at 16 and 32 pixels, and at 16 again,
    // checks every picture is right, saves, and tells how many it had to decode; the
    // file is read once however often it is asked about.
    int run()
    {
        FileIconSource icons;
        const CountingReader& reader = counting(icons);
        icons.useCache(m_cache);
        for (int side : {16, 32, 16})
            for (int i = 0; i < 3; ++i) {
                EXPECT_EQ(icons.count(m_file), 3);
                const QImage image = icons.draw(m_file, i, side);
                EXPECT_EQ(image.size(), QSize(side, side));
                EXPECT_EQ(image.pixel(side - 1, side - 1), qRgb(i * 50 + 10, side, 0)) << i << " at " << side;
            }
        EXPECT_TRUE(icons.draw(m_file, 3, 16).isNull()); // past the count: not even asked
        EXPECT_LE(reader.counts, 1);
        icons.saveCache();
        return reader.draws;
    }

    QTemporaryDir m_dir;
    std::string m_cache = m_dir.filePath("cache/vyrelight/icons.cache").toStdString();
    std::string m_file = m_dir.filePath("three.test").toStdString();
};

// A restart takes every picture from the cache until the file changes; a damaged cache is
// a miss, never a wrong picture, and is written anew.
TEST_F(IconCacheFileTest, ADamagedCacheIsAMissNeverAWrongPictureAndIsWrittenAnew)
{
    writeFile(QString::fromStdString(m_file), "TEST one");
    ASSERT_EQ((std::vector{run(), run(), run()}), (std::vector{6, 0, 0}));
    // The cache folder is made for the user alone.
    struct stat st{};
    ASSERT_EQ(::stat(m_dir.filePath("cache/vyrelight").toLocal8Bit().constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    const QString cache = QString::fromStdString(m_cache);
    const QByteArray good = readFile(cache);
    // The first record's icon index: past the header, the record's lead, the path (with its
    // zeros up to a multiple of 4 bytes) and four numbers of 8 bytes.
    const qsizetype indexAt = qsizetype(12 + 12 + 4 + (m_file.size() + 3) / 4 * 4 + 32);
    using Damage = std::function<QByteArray(QByteArray)>;
    const struct { const char* what; Damage damage; int decoded; } rows[] = {
        {"one pixel flipped", [](QByteArray b) { b[b.size() - 5] = char(b[b.size() - 5] ^ 0x40); return b; }, 1},
        // Now named icon 1 at 16 px, the first record hides the sound one of that key:
        // both are decoded again rather than one shown in the other's place.
        {"an index changed", [&](QByteArray b) { b[indexAt] ^= 1; return b; }, 2},
        {"cut in the last record", [](QByteArray b) { b.chop(100); return b; }, 1},
        {"cut in the first record", [](QByteArray b) { return b.left(40); }, 6},
        {"a record's length too long", [](QByteArray b) { b[12 + 1] = char(0x7F); return b; }, 6},
        {"another version", [](QByteArray b) { b[8] = char(b[8] + 1); return b; }, 6},
        {"not a cache", [](QByteArray) { return QByteArray(5000, 'x'); }, 6},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        writeFile(cache, row.damage(good));
        EXPECT_EQ((std::vector{run(), run()}), (std::vector{row.decoded, 0})); // then written anew, whole
    }
    writeFile(QString::fromStdString(m_file), "TEST one, rewritten");
    EXPECT_EQ((std::vector{run(), run()}), (std::vector{6, 0}));
    // Another file of the same size and times put in its place (copied with its times kept).
    const std::string other = m_file + ".new";
    writeFile(QString::fromStdString(other), "TEST two, rewritten");
    struct stat was{};
    ASSERT_EQ(::stat(m_file.c_str(), &was), 0);
    const struct timespec times[2] = {was.st_atim, was.st_mtim};
    ASSERT_TRUE(::utimensat(AT_FDCWD, other.c_str(), times, 0) == 0 && ::rename(other.c_str(), m_file.c_str()) == 0);
    EXPECT_EQ((std::vector{run(), run()}), (std::vector{6, 0}));
    // Not a file at all: nothing is read from it and nothing blocks.
    QFile::remove(cache);
    ASSERT_EQ(mkfifo(m_cache.c_str(), 0600), 0);
    EXPECT_EQ(run(), 6);
}

// Pictures taken from the cache stay right once the cache is gone and its file was read
// again with other pixels in the same place.
TEST_F(IconCacheFileTest, PicturesFromTheCacheOutliveItsBytes)
{
    writeFile(QString::fromStdString(m_file), "TEST one");
    ASSERT_EQ((std::vector{run(), run()}), (std::vector{6, 0}));
    std::vector<QImage> kept;
    {
        FileIconSource icons;
        const CountingReader& reader = counting(icons);
        icons.useCache(m_cache);
        for (int i = 0; i < 3; ++i)
            kept.push_back(icons.draw(m_file, i, 32));
        ASSERT_EQ(reader.draws, 0);
    }
    const QString cache = QString::fromStdString(m_cache);
    QByteArray inverted = readFile(cache);
    for (qsizetype i = 12; i < inverted.size(); ++i)
        inverted[i] = char(~inverted[i]);
    writeFile(cache, inverted);
    FileIconSource again;
    const CountingReader& reader = counting(again);
    again.useCache(m_cache);
    EXPECT_EQ(again.draw(m_file, 0, 32).pixel(0, 0), qRgb(10, 32, 0));
    EXPECT_EQ(reader.draws, 1);
    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(kept[std::size_t(i)].convertToFormat(QImage::Format_ARGB32)
                    == solid(32, 32, qRgb(i * 50 + 10, 32, 0)))
            << i;
}

} // namespace
