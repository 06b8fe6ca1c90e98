#include "support/TestHelpers.h"
#include "icons/FileIconSource.h"
#include "icons/IconCache.h"
#include "icons/IconReader.h"
#include "support/IconFixtures.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <functional>
#include <string>
#include <vector>

namespace {

// A reader of made-up "TEST" files with three icons, drawn in a colour of their index,
// that counts how often it decodes one.
class CountingReader final : public IconReader {
public:
    bool recognises(const QByteArray& head) const override { return head.startsWith("TEST"); }
    bool handlesSuffix(const QString&) const override { return false; }
    int count(const QString&) const override { return 3; }
    QImage draw(const QString&, int index0, int side) const override
    {
        ++draws;
        QImage image(side, side, QImage::Format_ARGB32_Premultiplied);
        image.fill(qRgb(index0 * 50 + 10, side, 0));
        return image;
    }
    mutable int draws = 0;
};

struct Source {
    explicit Source(const std::string& cache)
    {
        auto owned = std::make_unique<CountingReader>();
        reader = owned.get();
        icons.addReader(std::move(owned));
        icons.useCache(cache);
    }
    FileIconSource icons;
    const CountingReader* reader = nullptr;
};

class IconCacheFileTest : public ::testing::Test {
protected:
    // One run of the program: draws icons 0 to 2 at 16 and 32 pixels, checks every
    // picture is right, saves, and tells how many it had to decode.
    int run()
    {
        Source s(m_cache);
        for (int side : {16, 32})
            for (int i = 0; i < 3; ++i) {
                const QImage image = s.icons.draw(m_file, i, side);
                EXPECT_EQ(image.size(), QSize(side, side));
                EXPECT_EQ(image.pixel(side - 1, side - 1), qRgb(i * 50 + 10, side, 0)) << i << " at " << side;
            }
        s.icons.saveCache();
        return s.reader->draws;
    }

    QTemporaryDir m_dir;
    std::string m_cache = m_dir.filePath("cache/vyrelight/icons.cache").toStdString();
    std::string m_file = m_dir.filePath("three.test").toStdString();
};

TEST_F(IconCacheFileTest, ARestartTakesEveryPictureFromTheCacheUntilTheFileChanges)
{
    writeFile(QString::fromStdString(m_file), "TEST one");
    EXPECT_EQ(run(), 6);
    EXPECT_EQ(run(), 0);
    EXPECT_EQ(run(), 0);
    writeFile(QString::fromStdString(m_file), "TEST one, rewritten");
    EXPECT_EQ(run(), 6);
    EXPECT_EQ(run(), 0);
    // The cache folder is made for the user alone.
    struct stat st{};
    ASSERT_EQ(::stat(m_dir.filePath("cache/vyrelight").toLocal8Bit().constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
}

TEST_F(IconCacheFileTest, ADamagedCacheIsAMissNeverAWrongPictureAndIsWrittenAnew)
{
    writeFile(QString::fromStdString(m_file), "TEST one");
    const QString cache = QString::fromStdString(m_cache);
    ASSERT_EQ(run(), 6);
    const QByteArray good = readFile(cache);
    using Damage = std::function<QByteArray(QByteArray)>;
    const struct { const char* what; Damage damage; int decoded; } rows[] = {
        {"one pixel flipped", [](QByteArray b) { b[b.size() - 5] = char(b[b.size() - 5] ^ 0x40); return b; }, 1},
        // Now named icon 1 at 16 px, the first record hides the sound one of that key:
        // both are decoded again rather than one shown in the other's place.
        {"an index changed", [&](QByteArray b) { b[qsizetype(12 + 12 + 4 + m_file.size() + 32)] ^= 1; return b; }, 2},
        {"the last byte of every record",
         [](QByteArray b) {
             for (qsizetype at = 12; at + 12 <= b.size();) {
                 const qsizetype n = qsizetype(fixture::get32(b, at));
                 b[at + 12 + n - 1] = char(b[at + 12 + n - 1] ^ 0x5A);
                 at += 12 + n;
             }
             return b;
         },
         6},
        {"cut in the last record", [](QByteArray b) { b.chop(100); return b; }, 1},
        {"cut in the first record", [](QByteArray b) { return b.left(40); }, 6},
        {"a record's length too long", [](QByteArray b) { b[12 + 1] = char(0x7F); return b; }, 6},
        {"another version", [](QByteArray b) { b[8] = char(b[8] + 1); return b; }, 6},
        {"not a cache", [](QByteArray) { return QByteArray(5000, 'x'); }, 6},
        {"empty", [](QByteArray) { return QByteArray(); }, 6},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        writeFile(cache, row.damage(good));
        EXPECT_EQ(run(), row.decoded);
        EXPECT_EQ(run(), 0); // written anew, whole
    }
    // Not a file at all: nothing is read from it and nothing blocks.
    QFile::remove(cache);
    ASSERT_EQ(mkfifo(m_cache.c_str(), 0600), 0);
    EXPECT_EQ(run(), 6);
}

TEST_F(IconCacheFileTest, ACacheCutShortOrReplacedWhileTheProgramRunsIsNeverFatal)
{
    ASSERT_NO_FATAL_FAILURE(writeFile(QString::fromStdString(m_file), "TEST"));
    EXPECT_EQ(run(), 6);
    // Another launcher (or the user) cuts the cache short after this one has read it; the
    // next save reads what it held before. Mapped, that read was a SIGBUS.
    const QString cache = QString::fromStdString(m_cache);
    const qint64 whole = QFileInfo(cache).size();
    for (const qint64 cutTo : {whole / 2, qint64(0)}) {
        SCOPED_TRACE(cutTo);
        Source s(m_cache);
        EXPECT_FALSE(s.icons.draw(m_file, 0, 16).isNull()); // the cache is read here
        ASSERT_EQ(::truncate(m_cache.c_str(), cutTo), 0);
        for (int i = 0; i < 3; ++i)
            EXPECT_EQ(s.icons.draw(m_file, i, 32).pixel(0, 0), qRgb(i * 50 + 10, 32, 0));
        s.icons.saveCache();
    }
    EXPECT_LE(run(), 6); // a cut cache costs decoding, nothing else
    EXPECT_EQ(run(), 0);
}

TEST_F(IconCacheFileTest, ACacheThatIsNotARegularFileIsNeitherReadNorReplaced)
{
    ASSERT_NO_FATAL_FAILURE(writeFile(QString::fromStdString(m_file), "TEST"));
    QDir().mkpath(QFileInfo(QString::fromStdString(m_cache)).absolutePath());
    const std::string pipe = m_dir.filePath("pipe").toStdString();
    ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
    ASSERT_EQ(symlink(pipe.c_str(), m_cache.c_str()), 0);
    EXPECT_EQ(run(), 6); // the program goes on without it
    struct stat st{};
    ASSERT_EQ(::lstat(pipe.c_str(), &st), 0);
    EXPECT_TRUE(S_ISFIFO(st.st_mode));
    ASSERT_EQ(::lstat(m_cache.c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
    IconCache cache(m_cache);
    cache.store({m_file, 1, 2, 3, 4, 0, 16}, QImage());
    const Result<void> saved = cache.save();
    EXPECT_NE(saved.reason().find("is not a regular file"), std::string::npos) << saved.reason();
}

} // namespace
