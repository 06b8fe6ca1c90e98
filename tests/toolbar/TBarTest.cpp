#include "support/FakePointer.h"
#include "toolbar/ImageList.h"
#include "toolbar/TBar.h"

#include <QCoreApplication>
#include <QDropEvent>
#include <QHelpEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QToolTip>
#include <QUrl>

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace {

// Three buttons and a gap after the two fixed buttons: positions 3, 4, gap 5, 6.
void addThreeAndAGap(TBar& bar)
{
    bar.addButton(3, TBar::Style::Normal, 1);
    bar.addButton(4, TBar::Style::Normal, 2);
    bar.addButton(5, TBar::Style::Gap, 0);
    bar.addButton(6, TBar::Style::Normal, 1);
}

QPoint centrePx(const TBar& bar, int position, double perPixel = 15.0)
{
    const QPointF c = bar.buttonRect(position).center();
    return QPoint(int(c.x() / perPixel), int(c.y() / perPixel));
}

// Synthesised drops never reach a widget through the event loop without a drag in
// progress, so the test hands the event to the handler itself.
struct DropTarget : TBar {
    using TBar::TBar;
    using TBar::dropEvent;
};

void mouse(TBar& bar, QEvent::Type type, Qt::MouseButton button, QPoint at)
{
    const Qt::MouseButtons held = type == QEvent::MouseButtonPress ? Qt::MouseButtons(button) : Qt::NoButton;
    QMouseEvent event(type, QPointF(at), QPointF(bar.mapToGlobal(at)), button, held, {});
    QCoreApplication::sendEvent(&bar, &event);
}

void click(TBar& bar, QPoint at, Qt::MouseButton button = Qt::LeftButton)
{
    mouse(bar, QEvent::MouseButtonPress, button, at);
    mouse(bar, QEvent::MouseButtonRelease, button, at);
}

} // namespace

TEST(TBar, PlainButtonsAre23By22PixelsInTwips)
{
    struct Row {
        double perPixel;
        float bw, bh;
    };
    for (const Row& row : {Row{15.0, 345.0f, 330.0f}, Row{12.0, 276.0f, 264.0f}, Row{7.5, 172.5f, 165.0f}}) {
        FakePointer pointer;
        pointer.perPixelX = pointer.perPixelY = row.perPixel;
        TBar bar(pointer);
        EXPECT_EQ(bar.buttonCount(), 2) << row.perPixel;
        EXPECT_EQ(bar.buttonWidth(), row.bw) << row.perPixel;
        EXPECT_EQ(bar.buttonHeight(), row.bh) << row.perPixel;
        EXPECT_EQ(bar.heightTwips(), row.bh) << row.perPixel;
    }
}

TEST(TBar, HorizontalBarIsAsWideAsItsButtonsGapsAndFixedPart)
{
    FakePointer pointer;
    TBar bar(pointer);
    addThreeAndAGap(bar);
    bar.setWrappable(false);
    bar.setWidthTwips(bar.buttonWidth() * 3 + 120.0f * 1 + 470.0f);

    EXPECT_EQ(bar.widthTwips(), 1625.0f);
    EXPECT_EQ(bar.heightTwips(), 330.0f);
    EXPECT_EQ(bar.width(), 108); // 1625 / 15, rounded
    EXPECT_EQ(bar.height(), 22);
    // The fixed part takes 470 twips; then BW, BW, a 120 gap, BW.
    EXPECT_EQ(bar.buttonRect(3), QRectF(470, 0, 345, 330));
    EXPECT_EQ(bar.buttonRect(4), QRectF(815, 0, 345, 330));
    EXPECT_EQ(bar.buttonRect(5), QRectF(1160, 0, 120, 330));
    EXPECT_EQ(bar.buttonRect(6), QRectF(1280, 0, 345, 330));
}

TEST(TBar, VerticalBarStacksOneButtonPerRow)
{
    FakePointer pointer;
    TBar bar(pointer);
    addThreeAndAGap(bar);
    bar.setWrappable(true);
    bar.setWidthTwips(bar.buttonWidth());

    EXPECT_EQ(bar.widthTwips(), 345.0f);
    // With the window's 90 twips of frame this is the 1670 of a three-button bar.
    EXPECT_EQ(bar.heightTwips(), 330.0f * 3 + 120.0f + 470.0f);
    EXPECT_EQ(bar.buttonRect(3), QRectF(0, 470, 345, 330));
    EXPECT_EQ(bar.buttonRect(5), QRectF(0, 1130, 345, 120));
    EXPECT_EQ(bar.buttonRect(6), QRectF(0, 1250, 345, 330));
    EXPECT_EQ(bar.height(), 105); // 1580 / 15, rounded

    // Back to one row: the height is one button again.
    bar.setWrappable(false);
    EXPECT_EQ(bar.heightTwips(), 330.0f);
}

TEST(TBar, WideWrappedBarFlowsIntoRows)
{
    FakePointer pointer;
    TBar bar(pointer);
    for (int p = 3; p <= 6; ++p)
        bar.addButton(p, TBar::Style::Normal, 1);
    bar.setWrappable(true);
    bar.setWidthTwips(470.0f + 345.0f * 2); // room for two after the fixed part
    EXPECT_EQ(bar.heightTwips(), 660.0f);
    EXPECT_EQ(bar.buttonRect(5).top(), 330.0);
    EXPECT_EQ(bar.buttonRect(5).left(), 0.0);
}

TEST(TBar, AddAndRemoveKeepPositionsInOrder)
{
    FakePointer pointer;
    TBar bar(pointer);
    bar.addButton(3, TBar::Style::Normal, 1);
    bar.setToolTipText(3, "b");
    bar.addButton(3, TBar::Style::Normal, 1); // inserted before "b"
    bar.setToolTipText(3, "a");
    bar.addButton(99, TBar::Style::Gap, 7); // past the end: appended, a gap has no picture
    ASSERT_EQ(bar.buttonCount(), 5);
    EXPECT_EQ(bar.toolTipText(3), "a");
    EXPECT_EQ(bar.toolTipText(4), "b");
    EXPECT_EQ(bar.style(5), TBar::Style::Gap);

    bar.removeButton(3);
    EXPECT_EQ(bar.toolTipText(3), "b");
    EXPECT_EQ(bar.buttonRect(3).left(), 470.0);
    // The fixed buttons stay, whatever is asked.
    bar.removeButton(1);
    bar.removeButton(2);
    bar.removeButton(0);
    bar.removeButton(9);
    EXPECT_EQ(bar.buttonCount(), 4);
    while (bar.buttonCount() > 2)
        bar.removeButton(3);
    bar.setWrappable(false);
    EXPECT_EQ(bar.widthTwips(), 470.0f);
}

TEST(TBar, ClickOnANormalButtonGivesItsPositionAndAGapGivesNothing)
{
    FakePointer pointer;
    TBar bar(pointer);
    addThreeAndAGap(bar);
    bar.show();
    std::vector<int> clicks;
    QObject::connect(&bar, &TBar::buttonClicked, [&](int position) { clicks.push_back(position); });

    click(bar, centrePx(bar, 4));
    click(bar, centrePx(bar, 5)); // gap
    click(bar, centrePx(bar, 1)); // under the handle
    click(bar, centrePx(bar, 6), Qt::RightButton);
    // Pressed on one button and released over another: no click.
    mouse(bar, QEvent::MouseButtonPress, Qt::LeftButton, centrePx(bar, 3));
    mouse(bar, QEvent::MouseButtonRelease, Qt::LeftButton, centrePx(bar, 6));
    click(bar, centrePx(bar, 6));

    EXPECT_EQ(clicks, (std::vector<int>{4, 6}));
}

TEST(TBar, CaptionsMakeEveryButtonAsWideAsTheLongest)
{
    FakePointer pointer;
    TBar bar(pointer);
    addThreeAndAGap(bar);
    bar.setCaption(3, "A rather long caption for one button");
    bar.setCaption(4, "Short");
    // Captions count only while they are shown.
    EXPECT_EQ(bar.buttonWidth(), 345.0f);

    bar.setTextAlignment(1);
    const float bw = bar.buttonWidth();
    EXPECT_GT(bw, 345.0f);
    EXPECT_GT(bar.buttonHeight(), 330.0f);
    EXPECT_EQ(bar.buttonRect(4).width(), bw);
    EXPECT_EQ(bar.buttonRect(6).width(), bw);

    bar.setCaption(3, "");
    EXPECT_LT(bar.buttonWidth(), bw);

    bar.setTextAlignment(0);
    EXPECT_EQ(bar.buttonWidth(), 345.0f);
    EXPECT_EQ(bar.buttonHeight(), 330.0f);
}

TEST(TBar, DropGivesTheDataAndThePointInTwips)
{
    FakePointer pointer;
    DropTarget bar(pointer);
    addThreeAndAGap(bar);
    EXPECT_TRUE(bar.acceptDrops());
    std::vector<std::pair<const QMimeData*, QPointF>> drops;
    QObject::connect(&bar, &TBar::dropped, [&](const QMimeData* d, QPointF p) { drops.emplace_back(d, p); });

    QMimeData data;
    data.setUrls({QUrl::fromLocalFile("/tmp/some file.txt")});
    QDropEvent drop(QPointF(40, 7), Qt::CopyAction, &data, Qt::LeftButton, {});
    bar.dropEvent(&drop);
    EXPECT_TRUE(drop.isAccepted());

    ASSERT_EQ(drops.size(), 1u);
    EXPECT_EQ(drops[0].first, &data);
    EXPECT_EQ(drops[0].second, QPointF(600, 105));
}

TEST(TBar, ToolTipShowsTheHoveredButtonsText)
{
    FakePointer pointer;
    TBar bar(pointer);
    addThreeAndAGap(bar);
    bar.setToolTipText(4, "Editor");
    bar.show();

    const QPoint at = centrePx(bar, 4);
    QHelpEvent help(QEvent::ToolTip, at, bar.mapToGlobal(at));
    QCoreApplication::sendEvent(&bar, &help);
    EXPECT_EQ(QToolTip::text(), "Editor");
    QToolTip::hideText();
}
