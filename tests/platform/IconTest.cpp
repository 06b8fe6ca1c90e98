#include "platform/FileIconSource.h"
#include "platform/IcoReader.h"
#include "platform/IconReader.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>

#include <map>
#include <string>
#include <utility>
#include <vector>

namespace {

const QString Good = QStringLiteral(VYRE_TEST_DATA "/icons/good/");

QByteArray fixture(const QString& name)
{
    QFile f(Good + name);
    EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << name.toStdString();
    return f.readAll();
}

QImage solid(int w, int h, QRgb colour)
{
    QImage image(w, h, QImage::Format_ARGB32);
    image.fill(colour);
    return image;
}

QRgb opaque(QRgb c) { return c | 0xFF000000u; }

TEST(IcoFile, EveryBitmapDepthKeepsColoursAndMask)
{
    // Left half clear, right half red above blue; "mask-only" is 32-bit without alpha.
    for (const QString& name : QDir(Good).entryList({"depth-*.ico"})) {
        SCOPED_TRACE(name.toStdString());
        const QImage image = IcoReader::decode(fixture(name));
        ASSERT_EQ(image.size(), QSize(16, 16));
        EXPECT_EQ(qAlpha(image.pixel(2, 2)), 0);
        EXPECT_EQ(qAlpha(image.pixel(7, 14)), 0);
        EXPECT_EQ(image.pixel(12, 2), qRgb(255, 0, 0));
        EXPECT_EQ(image.pixel(12, 13), qRgb(0, 0, 255));
    }
}

TEST(IcoFile, ChoosesThePictureNearestSixteenAndPassesOverDamagedOnes)
{
    // In each file the picture that should win is the green one.
    const QStringList names = QDir(Good).entryList({"pick-*.ico"});
    ASSERT_EQ(names.size(), 5);
    for (const QString& name : names) {
        SCOPED_TRACE(name.toStdString());
        const QImage image = IcoReader::decode(fixture(name));
        ASSERT_EQ(image.size(), QSize(16, 16));
        EXPECT_EQ(opaque(image.pixel(8, 8)), qRgb(0, 255, 0));
    }
}

TEST(IcoFile, LargePngPictureIsScaledDownSmoothly)
{
    // 256x256, left half black, right half white.
    const QImage image = IcoReader::decode(fixture("png-256-half-black.ico"));
    ASSERT_EQ(image.size(), QSize(16, 16));
    EXPECT_EQ(opaque(image.pixel(1, 8)), qRgb(0, 0, 0));
    EXPECT_EQ(opaque(image.pixel(14, 8)), qRgb(255, 255, 255));
}

TEST(FileIconSource, EveryFormatIsOneIconRecognisedByContentAndKeepsProportions)
{
    QTemporaryDir dir;
    std::map<std::string, QString> paths;
    for (const char* format : {"png", "jpg", "xpm"}) {
        paths[format] = dir.filePath(QString("icon.") + format);
        ASSERT_TRUE(solid(32, 32, qRgb(200, 30, 30)).save(paths[format], format)) << format;
    }
    paths["svg"] = dir.filePath("icon.svg");
    QFile svg(paths["svg"]);
    ASSERT_TRUE(svg.open(QIODevice::WriteOnly));
    svg.write("<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"32\" height=\"32\">"
              "<rect width=\"32\" height=\"32\" fill=\"#c81e1e\"/></svg>");
    svg.close();
    paths["ico"] = Good + "solid-c81e1e.ico";
    // Content speaks before the name.
    for (const char* name : {"png.ico", "png.dat"}) {
        paths[name] = dir.filePath(name);
        QFile::copy(paths["png"], paths[name]);
    }
    FileIconSource icons;
    for (const auto& [format, path] : paths) {
        SCOPED_TRACE(format);
        const std::string p = path.toStdString();
        EXPECT_EQ(icons.count(p), 1);
        const QImage image = icons.draw(p, 0);
        ASSERT_EQ(image.size(), QSize(16, 16));
        const QRgb c = image.pixel(8, 8);
        EXPECT_NEAR(qRed(c), 200, 8);
        EXPECT_NEAR(qGreen(c), 30, 8);
        EXPECT_NEAR(qBlue(c), 30, 8);
        EXPECT_TRUE(icons.draw(p, 1).isNull());
        EXPECT_TRUE(icons.draw(p, -1).isNull());
        // For a screen at 200 %: twice the pixels, the same picture, the smaller one kept.
        const QImage sharp = icons.draw(p, 0, 32);
        ASSERT_EQ(sharp.size(), QSize(32, 32));
        EXPECT_NEAR(qRed(sharp.pixel(16, 16)), 200, 8);
        EXPECT_EQ(icons.draw(p, 0).size(), QSize(16, 16));
        EXPECT_TRUE(icons.draw(p, 0, 0).isNull());
    }

    // A wide picture is letterboxed, not squeezed, whether drawn to size or scaled;
    // a drawing sized only by its view box too.
    const QString wide = dir.filePath("wide.png");
    ASSERT_TRUE(solid(64, 32, qRgb(0, 128, 0)).save(wide, "png"));
    const QByteArray rect = "<rect width=\"64\" height=\"32\" fill=\"#008000\"/></svg>";
    const std::pair<const char*, QByteArray> wideSvgs[] = {
        {"wide.svg", "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"64\" height=\"32\">" + rect},
        {"viewbox.svg",
         "<?xml version=\"1.0\"?>\n<svg xmlns=\"http://www.w3.org/2000/svg\" viewBox=\"0 0 64 32\">" + rect},
    };
    std::vector<QString> wides{wide};
    for (const auto& [name, content] : wideSvgs) {
        wides.push_back(dir.filePath(name));
        QFile f(wides.back());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(content);
    }
    for (const QString& path : wides) {
        SCOPED_TRACE(path.toStdString());
        const QImage image = icons.draw(path.toStdString(), 0);
        ASSERT_EQ(image.size(), QSize(16, 16));
        EXPECT_EQ(qAlpha(image.pixel(8, 1)), 0);
        EXPECT_EQ(qAlpha(image.pixel(8, 14)), 0);
        EXPECT_EQ(opaque(image.pixel(8, 8)), qRgb(0, 128, 0));
    }
}

TEST(IconFile, ReadBoundedTakesWholePlainFilesUpToTheLimitOnly)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("f");
    const struct {
        qsizetype size;
        qint64 limit;
        bool read;
    } rows[] = {{0, 100, false}, {1, 100, true}, {100, 100, true}, {101, 100, false}, {5000, 1 << 20, true}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.size);
        const QByteArray content(row.size, 'x');
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(content);
        f.close();
        EXPECT_EQ(iconfile::readBounded(path, row.limit), row.read ? content : QByteArray());
    }
    for (const QString& other : {QString(), dir.path(), dir.filePath("missing"), QStringLiteral("/dev/zero")})
        EXPECT_TRUE(iconfile::readBounded(other, 1 << 20).isEmpty()) << other.toStdString();
}

TEST(FileIconSource, DamagedFilesAndWhatIsNotAFileGiveNothingAndNeverBlock)
{
    QDir bad(QStringLiteral(VYRE_TEST_DATA "/icons/bad"));
    std::vector<std::string> paths;
    for (const QString& name : bad.entryList(QDir::Files))
        paths.push_back(bad.filePath(name).toStdString());
    ASSERT_GE(paths.size(), 20u);
    QTemporaryDir dir;
    const std::string fifo = dir.filePath("pipe.ico").toStdString();
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    for (const std::string& p : {std::string(), dir.filePath("missing.ico").toStdString(),
                                 dir.path().toStdString(), fifo, std::string("/dev/zero")})
        paths.push_back(p);
    FileIconSource icons;
    for (const std::string& path : paths) {
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
    int count(const QString&) const override { return ++counts, 3; }
    QImage draw(const QString&, int index0, int side) const override
    {
        return ++draws, solid(side, side, qRgb(index0 * 50, 0, 0));
    }
    mutable int counts = 0;
    mutable int draws = 0;
};

TEST(FileIconSource, DecodesAFileOnceUntilItChanges)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("three.test");
    auto write = [&](const QByteArray& bytes) {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
    };
    write("TEST one");
    FileIconSource icons;
    auto owned = std::make_unique<CountingReader>();
    CountingReader* reader = owned.get();
    icons.addReader(std::move(owned));
    const std::string p = path.toStdString();
    for (int i = 0; i < 100; ++i) {
        EXPECT_EQ(icons.count(p), 3);
        EXPECT_EQ(icons.draw(p, 2).pixel(0, 0), qRgb(100, 0, 0));
    }
    EXPECT_TRUE(icons.draw(p, 3).isNull()); // past the count: not even asked
    EXPECT_EQ(reader->counts, 1);
    EXPECT_EQ(reader->draws, 1);
    write("TEST one, rewritten longer");
    EXPECT_EQ(icons.count(p), 3);
    icons.draw(p, 2);
    EXPECT_EQ(reader->counts, 2);
    EXPECT_EQ(reader->draws, 2);

    // Another file of the same size and times put in its place is another file.
    const QString other = dir.filePath("other.test");
    {
        QFile f(other);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("TEST two, rewritten longer");
    }
    struct stat st{};
    ASSERT_EQ(::stat(path.toLocal8Bit().constData(), &st), 0);
    const struct timespec times[2] = {st.st_atim, st.st_mtim};
    ASSERT_EQ(::utimensat(AT_FDCWD, other.toLocal8Bit().constData(), times, 0), 0);
    ASSERT_EQ(::rename(other.toLocal8Bit().constData(), path.toLocal8Bit().constData()), 0);
    EXPECT_EQ(icons.count(p), 3);
    icons.draw(p, 2);
    EXPECT_EQ(reader->counts, 3);
    EXPECT_EQ(reader->draws, 3);
}

} // namespace
