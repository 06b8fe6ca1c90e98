#include "about/AboutBox.h"
#include "support/FakeShell.h"
#include "support/WindowKind.h"

#include <QApplication>
#include <QLabel>
#include <QMouseEvent>
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
    // Which of the mail and web lines are underlined, as "01".
    QString underlined() { return QString("%1%2").arg(info(1)->font().underline()).arg(info(2)->font().underline()); }

    FakeShell shell;
    QPointer<AboutBox> about{new AboutBox(shell)};
};

TEST_F(AboutTest, LinksOpenMailAndWebThroughTheShellAndOtherLinesDoNothing)
{
    shell.failAll = true; // failing links leave the box open
    for (int i : {0, 1, 2, 3})
        QTest::mouseClick(info(i), Qt::LeftButton);
    ASSERT_EQ(shell.calls.size(), 2u);
    EXPECT_EQ(shell.calls[0].target,
              "mailto:vyrelight-bugs@users.noreply.vyrelight.org?subject=Vyrelight Toolbar v2 About Mail");
    EXPECT_EQ(shell.calls[1].target, "https://vyrelight.org/");
    EXPECT_TRUE(about->isVisible());
}

TEST_F(AboutTest, HighlightFollowsTheMouseFromLinkToLinkAndOffThem)
{
    const std::pair<QWidget*, const char*> moves[] = {
        {info(1), "10"}, {info(2), "01"}, {info(0), "00"}, {info(2), "01"}, {about, "00"}};
    for (const auto& [w, expected] : moves) {
        // Tracking moves need no button held, and go straight to the widget.
        const QPointF at(w->width() / 2.0, w->height() / 2.0);
        QMouseEvent move(QEvent::MouseMove, at, w->mapToGlobal(at), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(w, &move);
        EXPECT_EQ(underlined(), expected) << w->objectName().toStdString();
    }
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
