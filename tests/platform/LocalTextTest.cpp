// The records' bytes as the windows show them: plain ASCII taken straight, anything else
// through the local codec, with the same outcome either way.
#include "platform/LocalText.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(LocalText, ReadsEveryNameAsTheLocalCodecDoesAndJudgesBlanksAsTrimmingWould)
{
    const std::string samples[] = {
        "",
        "Terminal",
        "  \t\r\n\v\f ",                 // white space alone
        " Notes ",
        std::string("A\0B", 3),          // a NUL inside a name
        "Caf\xc3\xa9",                   // UTF-8
        "\xe6\x97\xa5\xe6\x9c\xac",      // UTF-8 beyond Latin-1
        "\xc2\xa0\xe2\x80\x83",          // no-break and em spaces, in UTF-8
        "  \xe3\x80\x80",                // ASCII spaces then an ideographic space
        "Caf\xe9",                       // Latin-1, not valid UTF-8
        "\x7f\x01",                      // control characters
    };
    for (const std::string& s : samples) {
        const QString local = QString::fromLocal8Bit(s.data(), qsizetype(s.size()));
        EXPECT_EQ(textFromLocal8Bit(s), local) << s;
        EXPECT_EQ(isBlankLocal8Bit(s), local.trimmed().isEmpty()) << s;
    }
    // The check above holds only if some of them are blank and some not.
    EXPECT_TRUE(isBlankLocal8Bit("\xc2\xa0\xe2\x80\x83"));
    EXPECT_FALSE(isBlankLocal8Bit(" Notes "));
}

} // namespace
