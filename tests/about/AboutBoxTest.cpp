#include "about/AboutBox.h"
#include "support/FakeShell.h"

#include <QApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPointer>
#include <QScreen>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

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

TEST_F(AboutTest, FirstShowingIsCentredOnItsScreen)
{
    const QRect screen = about->screen()->availableGeometry();
    EXPECT_LE((about->frameGeometry().center() - screen.center()).manhattanLength(), 1);
}

TEST(AboutBoxLayout, EveryLineShowsWholeAndNothingOverlapsAtAnyFontSize)
{
    const QStringList pieces = {"imgIcon",    "imgQUORREL", "btnEND",     "lnDIV(0)", "lblINFO(0)",
                                "lblINFO(1)", "lblINFO(2)", "lnDIV(1)", "lblINFO(3)"};
    const QFont saved = QApplication::font();
    for (const qreal factor : {1.0, 2.0}) {
        SCOPED_TRACE(factor);
        QFont f = saved;
        f.setPointSizeF(saved.pointSizeF() * factor);
        QApplication::setFont(f);
        FakeShell shell;
        const auto about = std::make_unique<AboutBox>(shell);
        about->show();
        const auto place = [&](const QString& name) {
            const QWidget* w = about->findChild<QWidget*>(name);
            EXPECT_NE(w, nullptr) << name.toStdString();
            return w ? QRect(w->mapTo(about.get(), QPoint()), w->size()) : QRect();
        };
        for (const QLabel* label : about->findChildren<QLabel*>())
            EXPECT_TRUE(label->width() >= label->sizeHint().width() && label->height() >= label->sizeHint().height())
                << label->objectName().toStdString() << " is cut";
        for (int i = 0; i < pieces.size(); ++i) {
            EXPECT_TRUE(about->rect().contains(place(pieces[i]))) << pieces[i].toStdString();
            for (int j = 0; j < i; ++j)
                EXPECT_FALSE(place(pieces[i]).intersects(place(pieces[j])))
                    << pieces[i].toStdString() << " overlaps " << pieces[j].toStdString();
        }
        // The close picture stands against the right edge, 2 pixels in.
        EXPECT_EQ(about->width() - 1 - place("btnEND").right(), 2);
        EXPECT_EQ(about->minimumSize(), about->maximumSize());
    }
    QApplication::setFont(saved);
}

} // namespace
