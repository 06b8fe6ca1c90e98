#include "about/AboutBox.h"
#include "support/FakeShell.h"
#include "support/WindowKind.h"

#include <QApplication>
#include <QLabel>
#include <QPointer>
#include <QScreen>
#include <QTest>

#include <gtest/gtest.h>

namespace {

class AboutTest : public ::testing::Test {
protected:
    AboutTest() { about->show(); }
    ~AboutTest() override { delete about.data(); }

    QLabel* info(int i) { return about->findChild<QLabel*>(QStringLiteral("lblINFO(%1)").arg(i)); }

    FakeShell shell;
    QPointer<AboutBox> about{new AboutBox(shell)};
};

TEST_F(AboutTest, LinksOpenMailAndWebThroughTheShellAndOtherLinesDoNothing)
{
    shell.failAll = true; // failing links leave the box open
    for (int i : {0, 1, 2, 3})
        QTest::mouseClick(info(i), Qt::LeftButton);
    EXPECT_EQ(shell.calls, (std::vector<std::string>{"link mailto:vyrelight-bugs@users.noreply.vyrelight.org?subject=Vyrelight Toolbar v2 About Mail",
                                                     "link https://vyrelight.org/"}));
    EXPECT_TRUE(about->isVisible());
}

TEST_F(AboutTest, FirstShowingIsCentredAndTheClosePictureOrEscapeEndsTheBox)
{
    EXPECT_LE((about->frameGeometry().center() - about->screen()->availableGeometry().center()).manhattanLength(), 1);
    expectFixedWindow(*about, Qt::Window, true);
    QTest::mouseClick(about->findChild<QWidget*>("btnEND"), Qt::LeftButton);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(about.isNull());
    about = new AboutBox(shell);
    about->show();
    QTest::keyClick(about, Qt::Key_Escape);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(about.isNull());
}

} // namespace
