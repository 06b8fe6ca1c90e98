#include "about/AboutBox.h"
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
    QPointer<AboutBox> about{new AboutBox(shell)};
};

TEST_F(AboutTest, LinksOpenMailAndWebThroughTheShellAndOtherLinesDoNothing)
{
    shell.failAll = true; // failing links leave the box open
    for (int i : {0, 1, 2, 3})
        QTest::mouseClick(info(i), Qt::LeftButton);
    ASSERT_EQ(shell.calls.size(), 2u);
    EXPECT_EQ(shell.calls[0].op, FakeShell::Op::OpenLink);
    EXPECT_EQ(shell.calls[0].target,
              "mailto:vyrelight-bugs@users.noreply.vyrelight.org?subject=Vyrelight Toolbar v2 About Mail");
    EXPECT_EQ(shell.calls[1].target, "https://vyrelight.org/");
    EXPECT_TRUE(about->isVisible());
    EXPECT_EQ(info(1)->text(), "> vyrelight-bugs@users.noreply.vyrelight.org");
    EXPECT_EQ(info(2)->text(), "> https://vyrelight.org/");
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

TEST_F(AboutTest, ClosePictureEndsTheBox)
{
    QTest::mouseClick(about->findChild<QWidget*>("btnEND"), Qt::LeftButton);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(about.isNull());
}

} // namespace
