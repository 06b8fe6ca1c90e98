#include "platform/DesignFont.h"

#include <QApplication>
#include <QFontInfo>

#include <gtest/gtest.h>

namespace {

// A design font is given only when what gets drawn is that family or its stand-in;
// a look-alike the font matcher substitutes is refused, so the control keeps the
// desktop's font.
TEST(DesignFont, GivenForAnInstalledFamilyOrStandInOnlyAtTheDesignSize)
{
    const QString installed = QFontInfo(QApplication::font()).family();
    struct Row {
        QString family;
        QStringList drawnAs; // empty: no font expected
    };
    const Row rows[] = {
        {installed, {installed}},
        {QStringLiteral("No Such Family Anywhere 7f3a"), {}},
    };
    for (const Row& row : rows) {
        const std::optional<QFont> font = designFont(row.family, 6.75);
        ASSERT_EQ(font.has_value(), !row.drawnAs.isEmpty()) << row.family.toStdString();
        if (font) {
            EXPECT_TRUE(row.drawnAs.contains(QFontInfo(*font).family()));
            EXPECT_EQ(font->pointSizeF(), 6.75);
        }
    }
    // Arial comes as itself or a metric-compatible stand-in, or not at all.
    if (const std::optional<QFont> arial = designFont(QStringLiteral("Arial"), 8.25)) {
        EXPECT_TRUE(QStringList({"Arial", "Liberation Sans", "Arimo"}).contains(QFontInfo(*arial).family()));
    }
}

} // namespace
