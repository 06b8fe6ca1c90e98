#include "about/qrABOUT.h"
#include "support/FakePointer.h"
#include "support/FakeShell.h"

#include <QApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPointer>
#include <QTest>

#include <gtest/gtest.h>

namespace {

class AboutTest : public ::testing::Test {
protected:
    AboutTest() { about->show(); }
    ~AboutTest() override { delete about.data(); }

    QLabel* info(int i) { return about->findChild<QLabel*>(QStringLiteral("lblINFO(%1)").arg(i)); }
    bool underlined(int i) { return info(i)->font().underline(); }

    // Mouse moves go straight to the widget: tracking moves need no button held.
    void moveOver(QWidget* w)
    {
        const QPointF at(w->width() / 2.0, w->height() / 2.0);
        QMouseEvent move(QEvent::MouseMove, at, w->mapToGlobal(at), Qt::NoButton, Qt::NoButton,
                         Qt::NoModifier);
        QApplication::sendEvent(w, &move);
    }

    FakeShell shell;
    FakePointer pointer;
    QPointer<qrABOUT> about{new qrABOUT(shell, pointer)};
};

TEST_F(AboutTest, LinksOpenMailAndWebThroughTheShellAndOtherLinesDoNothing)
{
    for (int i : {0, 1, 2, 3})
        QTest::mouseClick(info(i), Qt::LeftButton);
    ASSERT_EQ(shell.calls.size(), 2u);
    EXPECT_EQ(shell.calls[0].op, FakeShell::Op::OpenLink);
    EXPECT_EQ(shell.calls[0].target,
              "mailto:vyrelight-bugs@users.noreply.vyrelight.org?subject=Vyrelight Toolbar v2 About Mail");
    EXPECT_EQ(shell.calls[1].target, "https://vyrelight.org/");
    EXPECT_EQ(info(1)->text(), "> vyrelight-bugs@users.noreply.vyrelight.org");
    EXPECT_EQ(info(2)->text(), "> https://vyrelight.org/");
}

TEST_F(AboutTest, FailingLinkShowsNothingAndKeepsTheBoxOpen)
{
    shell.failAll = true;
    QTest::mouseClick(info(2), Qt::LeftButton);
    EXPECT_EQ(shell.calls.size(), 1u);
    EXPECT_TRUE(about->isVisible());
}

TEST_F(AboutTest, HighlightFollowsTheMouseFromLinkToLinkAndOffThem)
{
    moveOver(info(1));
    EXPECT_TRUE(underlined(1));
    EXPECT_FALSE(underlined(2));
    moveOver(info(2));
    EXPECT_FALSE(underlined(1));
    EXPECT_TRUE(underlined(2));
    moveOver(info(0));
    EXPECT_FALSE(underlined(2));
    moveOver(info(2));
    moveOver(about);
    EXPECT_FALSE(underlined(1));
    EXPECT_FALSE(underlined(2));
}

TEST_F(AboutTest, LayoutColoursAndFontsInTwips)
{
    EXPECT_EQ(about->size(), QSize(286, 165)); // 4290 x 2475 twips
    const QRect places[4] = {{8, 80, 273, 17}, {8, 96, 273, 17}, {8, 112, 273, 17}, {48, 144, 233, 17}};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(info(i)->geometry(), places[i]) << i;
        EXPECT_EQ(info(i)->font().family(), "Arial");
        EXPECT_DOUBLE_EQ(info(i)->font().pointSizeF(), 8.25);
        const QColor expected = i == 1 || i == 2 ? QColor(128, 255, 128) : QColor(0, 192, 0);
        EXPECT_EQ(info(i)->palette().color(QPalette::WindowText), expected) << i;
    }
    EXPECT_EQ(info(1)->cursor().shape(), Qt::PointingHandCursor);
    EXPECT_EQ(info(2)->cursor().shape(), Qt::PointingHandCursor);
    EXPECT_EQ(about->findChild<QWidget*>("lnDIV(0)")->geometry(), QRect(8, 72, 272, 1));
    EXPECT_EQ(about->findChild<QWidget*>("lnDIV(1)")->geometry(), QRect(8, 136, 272, 1));
    // The close picture sits 30 twips (2 pixels) in from the right edge.
    const QWidget* end = about->findChild<QWidget*>("btnEND");
    EXPECT_EQ(end->size(), QSize(54, 53));
    EXPECT_EQ(end->x(), 286 - 54 - 2);
    EXPECT_EQ(about->findChild<QLabel*>("imgIcon")->pixmap().size(), QSize(32, 32));
    EXPECT_EQ(about->findChild<QLabel*>("imgQUORREL")->pixmap().size(), QSize(113, 64));
}

TEST_F(AboutTest, ClosePictureEndsTheBox)
{
    QTest::mouseClick(about->findChild<QWidget*>("btnEND"), Qt::LeftButton);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(about.isNull());
}

} // namespace
