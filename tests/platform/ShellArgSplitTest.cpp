#include "platform/ArgSplit.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Args = std::vector<std::string>;

TEST(ShellArgSplitTest, QuotesAndEscapesFollowTheShellWithoutExpanding)
{
    struct Row {
        const char* line;
        Args args;
    };
    const Row rows[] = {
        {"", {}},
        {"  \t ", {}},
        {"a  b\tc\nd", {"a", "b", "c", "d"}},
        {"\"two words\" 'single \"q\"'", {"two words", "single \"q\""}},
        {R"("say \"hi\"" "back\\slash" "keep\n" "\$HOME")", {"say \"hi\"", "back\\slash", "keep\\n", "$HOME"}},
        {R"(back\ slash \'x\' \\)", {"back slash", "'x'", "\\"}},
        {"'it'\"'\"'s' a\"b\"c", {"it's", "abc"}},
        {"\"\" ''", {"", ""}},
        {"'multi\nline'", {"multi\nline"}},
        {"$(touch x) `id` ; | && > f ~ *", {"$(touch", "x)", "`id`", ";", "|", "&&", ">", "f", "~", "*"}},
        {"-rf --x=1", {"-rf", "--x=1"}},
        {"a\\\nb", {"ab"}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.line);
        const auto args = SplitArgs(row.line);
        ASSERT_TRUE(args.has_value());
        EXPECT_EQ(*args, row.args);
    }
}

TEST(ShellArgSplitTest, OpenQuoteOrTrailingBackslashIsRefused)
{
    for (const char* line : {"'open", "\"open", "a \"b 'c'", "trailing\\", "\"esc\\\""}) {
        SCOPED_TRACE(line);
        EXPECT_FALSE(SplitArgs(line).has_value());
    }
}

} // namespace
