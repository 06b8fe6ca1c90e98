#include "support/TestHelpers.h"
#include "formats/ExeParser.h"
#include "formats/FileBytes.h"
#include "icons/FileIconSource.h"
#include "icons/IcoReader.h"
#include "support/IconFixtures.h"

#include <QImage>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <unistd.h>

#include <functional>
#include <string>

namespace {

using fixture::Red, fixture::Green, fixture::Blue, fixture::Yellow;

// Icon 0: one 16-px bitmap. Icon 1: a 32-px PNG and a 16-px bitmap, listed in that
// order, so the size asked for decides. Icon 2: a single 48-px PNG, scaled down.
std::vector<fixture::Group> threeIcons()
{
    return {{fixture::bitmap(16, Red)},
            {fixture::png(32, Blue), fixture::bitmap(16, Green)},
            {fixture::png(48, Yellow)}};
}

std::span<const std::uint8_t> span(const QByteArray& b)
{
    return {reinterpret_cast<const std::uint8_t*>(b.constData()), std::size_t(b.size())};
}

TEST(ExeIcons, EachGroupIsOneIconDrawnFromItsBestPictureInEveryFormatAndName)
{
    QTemporaryDir dir;
    const struct { const char* name; QByteArray bytes; } files[] = {
        {"pe32.dll", fixture::pe(threeIcons()).bytes},
        {"pe32plus.exe", fixture::pe(threeIcons(), true).bytes},
        {"padded.icl", fixture::pe(threeIcons(), false, 100000).bytes},
        {"ne.dat", fixture::ne(threeIcons()).bytes}, // content speaks, not the name
    };
    FileIconSource icons;
    for (const auto& f : files) {
        SCOPED_TRACE(f.name);
        const QString path = dir.filePath(f.name);
        writeFile(path, f.bytes);
        const std::string p = path.toStdString();
        ASSERT_EQ(icons.count(p), 3);
        const struct { int index, side; QRgb colour; bool clearCorner; } draws[] = {
            {0, 16, Red, true}, {1, 16, Green, true}, {1, 32, Blue, false},
            {2, 16, Yellow, false}, {0, 32, Red, true}, // only a 16-px picture: scaled up
        };
        for (const auto& d : draws) {
            const QImage image = icons.draw(p, d.index, d.side);
            ASSERT_EQ(image.size(), QSize(d.side, d.side)) << d.index << " at " << d.side;
            EXPECT_TRUE(fixture::near(image.pixel(d.side / 2, d.side / 2), d.colour)) << d.index << " at " << d.side;
            EXPECT_TRUE(d.side != 16 || (qAlpha(image.pixel(0, 0)) == 0) == d.clearCorner) << d.index;
        }
    }
}

TEST(ExeIcons, DamagedDirectoriesGiveWhatIsSoundAndNeverReadOutside)
{
    using namespace fixture;
    using Patch = std::function<void(Exe&)>;
    const auto pe = [] { return fixture::pe(threeIcons()); };
    const auto ne = [] { return fixture::ne(threeIcons()); };
    // The name directory of the first group.
    const auto name = [](const Exe& e) { return e.root + (get32(e.bytes, e.groupTypeDir + 20) & 0x7FFFFFFF); };
    const struct { const char* what; Exe base; Patch patch; int count; int drawable; } rows[] = {
        {"sound PE", pe(), [](Exe&) {}, 3, 3},
        {"directory cut short", pe(), [](Exe& e) { e.bytes.truncate(e.root + 20); }, 0, 0},
        {"group directory loops to the root", pe(), [](Exe& e) { put32(e.bytes, e.root + 16 + 8 + 4, 0x80000000u); }, 0, 0},
        {"a group's language loops to its type", pe(),
         [&](Exe& e) { put32(e.bytes, name(e) + 20, 0x80000000u | std::uint32_t(e.groupTypeDir - e.root)); }, 2, 2},
        // Of a resource in two languages, the first is taken and the resource counts once;
        // its second entry overlies the next directory's unread head.
        {"a group in two languages", pe(),
         [&](Exe& e) {
             put16(e.bytes, name(e) + 14, 2);
             putAll(e.bytes, name(e) + 24, 4, {0x407, get32(e.bytes, name(e) + 20)});
         },
         3, 3},
        // A directory reached twice is read once: that is what ends every loop.
        {"two groups lead to one directory", pe(),
         [](Exe& e) { put32(e.bytes, e.groupTypeDir + 16 + 8 + 4, get32(e.bytes, e.groupTypeDir + 16 + 4)); }, 2, 2},
        // What the bytes after the real entries mean is anybody's guess: only bounded.
        {"huge entry counts", pe(),
         [](Exe& e) {
             put16(e.bytes, e.root + 12, 0xFFFF);
             put16(e.bytes, e.groupTypeDir + 14, 0xFFFF);
         },
         -1, -1},
        {"picture past the end", pe(), [](Exe& e) { put32(e.bytes, e.firstData, 0x7FFFFFF0); }, 3, 2},
        {"picture in the headers", pe(), [](Exe& e) { put32(e.bytes, e.firstData, 0x10); }, 3, 2},
        {"picture size past the end", pe(), [](Exe& e) { put32(e.bytes, e.firstData + 4, 0xFFFFFFF0); }, 3, 2},
        {"resource section offset past the end", pe(), [](Exe& e) { put32(e.bytes, 0x40 + 4 + 20 + 224 + 20, 0x7FFFFFFF); }, 0, 0},
        {"header offset past the end", pe(), [](Exe& e) { put32(e.bytes, 0x3C, 0xFFFFFFF0); }, 0, 0},
        {"sound NE", ne(), [](Exe&) {}, 3, 3},
        {"NE shift beyond any file", ne(), [](Exe& e) { put16(e.bytes, e.root, 40); }, 0, 0},
        {"NE huge count", ne(), [](Exe& e) { put16(e.bytes, e.root + 4, 0xFFFF); }, 0, 0},
        {"NE picture inside the table", ne(), [](Exe& e) { put16(e.bytes, e.root + 10, 0x8); }, 3, 2},
        {"NE picture past the end", ne(), [](Exe& e) { put16(e.bytes, e.root + 10, 0xFFFF); }, 3, 2},
        {"NE table cut short", ne(), [](Exe& e) { e.bytes.truncate(e.root + 12); }, 0, 0},
    };
    QTemporaryDir dir;
    FileIconSource icons;
    int n = 0;
    for (auto row : rows) {
        SCOPED_TRACE(row.what);
        row.patch(row.base);
        // A copy of exactly the file's bytes, so that a read past them is seen by ASan.
        const QByteArray exact(row.base.bytes.constData(), row.base.bytes.size());
        const exe::Resources r = exe::readResources(span(exact));
        EXPECT_TRUE(row.count < 0 || int(r.groups.size()) == row.count) << r.groups.size();
        const QString path = dir.filePath(QString("damaged-%1.dll").arg(n++));
        writeFile(path, exact);
        const int count = icons.count(path.toStdString());
        EXPECT_EQ(count, int(r.groups.size()));
        int drawable = 0;
        for (int i = 0; i < count; ++i)
            drawable += !icons.draw(path.toStdString(), i).isNull();
        EXPECT_TRUE(row.drawable < 0 || drawable == row.drawable) << drawable;
    }
}

// Files built to cost: each must stop at its budget rather than do all the work it asks
// for. The bound is asserted as steps taken and pictures tried, never as time.
TEST(ExeIcons, FilesBuiltToCostStopAtTheirBudget)
{
    // 65,535 sections, and 65,535 names each leading to 65,000 language entries: billions
    // of entries, each once compared with every section.
    const QByteArray costly = fixture::costlyPe(0xFFFF, 0xFFFF);
    const exe::Resources r = exe::readResources(span(costly));
    EXPECT_TRUE(r.format == exe::Format::Pe && r.budgetSpent && r.groups.empty());
    EXPECT_LE(r.steps, exe::MaxSteps);
    // A small one of the same build is read to its end within its budget.
    const exe::Resources small = exe::readResources(span(fixture::costlyPe(3, 2)));
    EXPECT_FALSE(small.budgetSpent);
    EXPECT_GT(small.steps, 2u * 65000u);

    // Thousands of entries naming one picture that fails late (a PNG cut before its last
    // rows), or naming many pictures that all fail: decoded once each, and few at all.
    QImage noisy(256, 256, QImage::Format_ARGB32);
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 256; ++x)
            noisy.setPixel(x, y, qRgba(x * 7 + y, y * 13, x ^ y, 255));
    QByteArray cutPng = fixture::encoded(noisy, "png");
    cutPng.chop(cutPng.size() / 4);
    std::vector<QByteArray> distinct;
    for (int i = 0; i < 50; ++i)
        distinct.push_back(cutPng + QByteArray(i, 'x'));
    const struct { const char* what; QByteArray file; int most; } icos[] = {
        {"2,000 entries, one damaged picture", fixture::icoNaming(2000, {cutPng}), 1},
        {"2,000 entries, fifty damaged pictures", fixture::icoNaming(2000, distinct), IcoReader::MaxFailures},
        {"a picture far beyond any icon", fixture::icoNaming(3, {QByteArray(int(IcoReader::MaxPictureBytes) + 1, 'x')}), 0},
    };
    for (const auto& row : icos) {
        SCOPED_TRACE(row.what);
        const auto bytes = span(row.file);
        MemoryBytes source(bytes);
        const auto entries = ico::readDirectory(bytes);
        ASSERT_FALSE(entries.empty());
        int tried = 0;
        EXPECT_TRUE(IcoReader::decodeBest(source, entries, 16, &tried).isNull());
        EXPECT_EQ(tried, row.most);
    }
}

TEST(ExeIcons, AProgramCutShortWhileItIsReadIsAMissNeverACrash)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("shrinking.dll");
    writeFile(path, fixture::pe(threeIcons(), false, 300000).bytes);
    // Measured, then cut to below its resources before the directory is read: mapped,
    // the first look at the directory was a SIGBUS.
    FileBytes file(path.toStdString());
    ASSERT_GT(file.size(), 300000u);
    ASSERT_EQ(::truncate(path.toLocal8Bit().constData(), 4096), 0);
    const exe::Resources r = exe::readResources(file);
    EXPECT_TRUE(r.groups.empty());
    EXPECT_TRUE(IcoReader::decodeBest(file, {ico::Entry{16, 16, 32, false, 300000, 1000}}, 16).isNull());
    std::uint8_t byte = 0;
    EXPECT_FALSE(file.read(file.size() - 1, 1, &byte));
}

} // namespace

