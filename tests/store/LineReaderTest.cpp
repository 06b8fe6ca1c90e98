#include "store/LineReader.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace {

std::vector<std::string> splitWithReader(std::string_view bytes)
{
    std::vector<std::string> lines;
    LineReader reader(bytes);
    for (std::string_view line; reader.next(line);)
        lines.emplace_back(line);
    return lines;
}

// The plain definition: a line ends at the first CR or LF, and an LF right after a CR
// belongs to the same line end.
std::vector<std::string> splitByDefinition(std::string_view bytes)
{
    std::vector<std::string> lines;
    std::size_t pos = 0;
    while (pos < bytes.size()) {
        std::size_t end = pos;
        while (end < bytes.size() && bytes[end] != '\r' && bytes[end] != '\n')
            ++end;
        lines.emplace_back(bytes.substr(pos, end - pos));
        pos = end + 1;
        if (end < bytes.size() && bytes[end] == '\r' && pos < bytes.size() && bytes[pos] == '\n')
            ++pos;
    }
    return lines;
}

TEST(LineReader, EveryKindOfLineEndAndTheirMixtures)
{
    using namespace std::string_literals;
    const struct {
        std::string bytes;
        std::vector<std::string> lines;
    } cases[] = {
        {"", {}},
        {"a", {"a"}},
        {"a\r\nb\r\n", {"a", "b"}},
        {"a\nb", {"a", "b"}},
        {"a\rb\r", {"a", "b"}},
        {"\r\n\r\n", {"", ""}},
        {"\n\r", {"", ""}},
        {"\r\r\n\n", {"", "", ""}},
        {"a\rb\nc\r\nd", {"a", "b", "c", "d"}},
        // CR-only lines before an LF far away, and the other way round: each end is found
        // once, not skipped over.
        {"a\rb\rc\rd\ne\nf\r\ng", {"a", "b", "c", "d", "e", "f", "g"}},
        {"a\0b\r\0\n"s, {"a\0b"s, "\0"s}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(splitWithReader(c.bytes), c.lines) << testing::PrintToString(c.bytes);

    std::mt19937 gen(7);
    const char alphabet[] = {'\r', '\n', 'x', '\0', ';'};
    for (int round = 0; round < 2000; ++round) {
        std::string bytes(gen() % 40, ' ');
        for (char& ch : bytes)
            ch = alphabet[gen() % sizeof alphabet];
        ASSERT_EQ(splitWithReader(bytes), splitByDefinition(bytes)) << testing::PrintToString(bytes);
    }
}

} // namespace
