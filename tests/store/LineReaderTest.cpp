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
    for (std::size_t pos = 0, end; pos < bytes.size(); pos = end + 1) {
        end = std::min(bytes.find_first_of("\r\n", pos), bytes.size());
        lines.emplace_back(bytes.substr(pos, end - pos));
        if (end + 1 < bytes.size() && bytes[end] == '\r' && bytes[end + 1] == '\n')
            ++end;
    }
    return lines;
}

TEST(LineReader, EveryKindOfLineEndAndTheirMixtures)
{
    EXPECT_EQ(splitWithReader("a\rb\nc\r\n\n\rd"), (std::vector<std::string>{"a", "b", "c", "", "", "d"}));
    // Mixtures the definition splits alike: CR-only lines before an LF far away and the
    // other way round, where each end must be found once and not skipped over.
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
