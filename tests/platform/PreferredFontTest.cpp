#include "platform/PreferredFont.h"

#include <QApplication>
#include <QFontInfo>

#include <gtest/gtest.h>

namespace {

// A design font is given only when what gets drawn is that family or its stand-in;
// a look-alike the font matcher substitutes is refused, so the control keeps the
// desktop's font.
TEST(PreferredFont, GivenOnlyWhenThatFamilyOrItsStandInIsWhatGetsDrawn)
{
    const QString installed = QFontInfo(QApplication::font()).family();
    const std::optional<QFont> font = preferredFont(installed, 6.75);
    ASSERT_TRUE(font);
    EXPECT_EQ(QFontInfo(*font).family(), installed);
    EXPECT_EQ(font->pointSizeF(), 6.75);
    EXPECT_FALSE(preferredFont(QStringLiteral("No Such Family Anywhere 7f3a"), 6.75));
    // Arial comes as itself or a metric-compatible stand-in, or not at all.
    const std::optional<QFont> arial = preferredFont(QStringLiteral("Arial"), 8.25);
    EXPECT_TRUE(!arial || QStringList({"Arial", "Liberation Sans", "Arimo"}).contains(QFontInfo(*arial).family()));
}

} // namespace
