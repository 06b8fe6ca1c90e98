// Icon files from disk as the parsers see them, without any image library: sound files
// give the picture they hold, damaged ones and what is not a file give none, and nothing
// is read outside the bytes (each file is held in a buffer of its exact size, so that
// AddressSanitizer sees a read past its end).
#include "formats/ExeParser.h"
#include "formats/FileBytes.h"
#include "formats/IcoParser.h"

#include "../support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include <sys/stat.h>

namespace {

namespace fs = std::filesystem;

const fs::path Icons = fs::path(VYRE_TEST_DATA) / "icons";

std::vector<std::uint8_t> exactBytes(const fs::path& path)
{
    const std::string whole = FileBytes::readWhole(path.string(), 1 << 20);
    return {whole.begin(), whole.end()};
}

// The picture a reader shows at 16 pixels: the best suited bitmap entry that decodes.
// PNG entries are the image library's to read and are passed over here.
ico::Picture best16(std::span<const std::uint8_t> file)
{
    const std::vector<ico::Entry> entries = ico::readDirectory(file);
    for (std::size_t i : ico::preferenceOrder(entries, 16)) {
        const ico::Entry& e = entries[i];
        EXPECT_TRUE(e.offset <= file.size() && e.size <= file.size() - e.offset);
        if (e.png)
            continue;
        ico::Picture p = ico::decodeBitmap(file.subspan(e.offset, e.size));
        if (!p.empty())
            return p;
    }
    return {};
}

std::vector<fs::path> filesIn(const fs::path& folder, const std::string& prefix = {})
{
    std::vector<fs::path> files;
    for (const fs::directory_entry& e : fs::directory_iterator(folder))
        if (e.is_regular_file() && e.path().filename().string().starts_with(prefix))
            files.push_back(e.path());
    std::sort(files.begin(), files.end());
    return files;
}

TEST(IcoParser, EachBitmapIconIsDecodedFromTheBestSuitedEntryThatReads)
{
    // depth-*: left half clear, right half red above blue, from every bitmap depth
    // ("mask-only" is 32-bit without alpha). pick-*: the entry that should win is green.
    struct Point { int x, y; std::uint32_t colour; }; // colour 0: clear
    const std::pair<std::string, std::vector<Point>> kinds[] = {
        {"depth-", {{2, 2, 0}, {7, 14, 0}, {12, 2, 0xFFFF0000u}, {12, 13, 0xFF0000FFu}}},
        {"pick-", {{8, 8, 0xFF00FF00u}}},
    };
    int files = 0;
    for (const auto& [prefix, points] : kinds)
        for (const fs::path& path : filesIn(Icons / "good", prefix)) {
            SCOPED_TRACE(path.filename().string());
            ++files;
            const std::vector<std::uint8_t> bytes = exactBytes(path);
            const ico::Picture p = best16(bytes);
            // The nearest size may win where 16 is missing: the reader scales it.
            ASSERT_GT(p.width, 0);
            ASSERT_EQ(p.height, p.width);
            ASSERT_EQ(p.pixels.size(), std::size_t(p.width) * std::size_t(p.height));
            for (const Point& at : points) {
                const int x = at.x * p.width / 16, y = at.y * p.height / 16;
                const std::uint32_t pixel = p.pixels[std::size_t(y * p.width + x)];
                EXPECT_EQ(at.colour ? pixel : pixel >> 24, at.colour) << at.x << "," << at.y;
            }
        }
    EXPECT_EQ(files, 11);
}

// Damaged and hostile files, and paths that are no regular file: no bitmap picture, no
// program resources, and reading them never blocks.
TEST(IconFiles, DamagedFilesAndWhatIsNotAFileGiveNoPicture)
{
    std::vector<fs::path> paths = filesIn(Icons / "bad");
    ASSERT_GE(paths.size(), 30u);
    const TempDir temp;
    const std::string fifo = temp.file("pipe.ico");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    for (const std::string& p : {std::string(), temp.file("missing.ico"), temp.path, fifo, std::string("/dev/zero")})
        paths.push_back(p);

    for (const fs::path& path : paths) {
        SCOPED_TRACE(path.string());
        const std::vector<std::uint8_t> bytes = exactBytes(path);
        EXPECT_TRUE(best16(bytes).empty());
        FileBytes file(path.string());
        // What is not a regular file is never read at all: not the pipe's writer nor
        // /dev/zero's endless bytes.
        EXPECT_TRUE(fs::is_regular_file(path) || (bytes.empty() && file.size() == 0));
        const exe::Resources r = exe::readResources(file);
        EXPECT_EQ(r.format, exe::Format::None);
        EXPECT_TRUE(r.groups.empty() && r.pictures.empty());
    }
}

} // namespace
