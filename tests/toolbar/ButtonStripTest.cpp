#include "support/FakePointer.h"
#include "toolbar/ButtonStrip.h"

#include <QCoreApplication>
#include <QDropEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QUrl>

#include <gtest/gtest.h>

#include <tuple>
#include <utility>
#include <vector>

namespace {

struct WithPointer {
    FakePointer pointer;
};
// Synthesised drops never reach a widget through the event loop without a drag in
// progress, so the test hands the event to the handler itself.
struct Strip : WithPointer, ButtonStrip {
    using ButtonStrip::dragEnterEvent;
    using ButtonStrip::dragLeaveEvent;
    using ButtonStrip::dragMoveEvent;
    using ButtonStrip::dropEvent;
    // Three buttons and a gap after the two fixed buttons: positions 3, 4, gap 5, 6.
    Strip() : ButtonStrip(pointer)
    {
        for (int p = 3; p <= 6; ++p)
            addButton(p, p == 5 ? Style::Gap : Style::Normal, 1);
    }
    QPoint centrePx(int position) const
    {
        const QPointF c = buttonRect(position).center();
        return QPoint(int(c.x() / 15), int(c.y() / 15));
    }
    void mouse(QEvent::Type type, Qt::MouseButton button, QPoint at)
    {
        const Qt::MouseButtons held = type == QEvent::MouseButtonPress ? Qt::MouseButtons(button) : Qt::NoButton;
        QMouseEvent event(type, QPointF(at), QPointF(mapToGlobal(at)), button, held, {});
        QCoreApplication::sendEvent(this, &event);
    }
    void click(int position, Qt::MouseButton button = Qt::LeftButton)
    {
        mouse(QEvent::MouseButtonPress, button, centrePx(position));
        mouse(QEvent::MouseButtonRelease, button, centrePx(position));
    }
};

} // namespace

TEST(ButtonStrip, PlainButtonIs23By22PixelsAtAnyTwipsPerPixel)
{
    for (auto [perPixel, bw, bh] : {std::tuple{15.0, 345.0f, 330.0f}, {12.0, 276.0f, 264.0f}, {7.5, 172.5f, 165.0f}}) {
        FakePointer pointer;
        pointer.perPixelX = pointer.perPixelY = perPixel;
        ButtonStrip strip(pointer);
        EXPECT_EQ(strip.buttonWidth(), bw) << perPixel;
        EXPECT_EQ(strip.buttonHeight(), bh) << perPixel;
    }
}

TEST(ButtonStrip, OnlyALeftClickPressedAndReleasedOnOneNormalButtonCounts)
{
    Strip strip;
    strip.setWrappable(false);
    strip.setWidthTwips(1625);
    strip.show();
    std::vector<int> clicks;
    QObject::connect(&strip, &ButtonStrip::buttonClicked, [&](int position) { clicks.push_back(position); });
    strip.click(4);
    strip.click(5); // gap
    strip.click(1); // under the handle
    strip.click(6, Qt::RightButton);
    strip.mouse(QEvent::MouseButtonPress, Qt::LeftButton, strip.centrePx(3));
    strip.mouse(QEvent::MouseButtonRelease, Qt::LeftButton, strip.centrePx(6));
    strip.click(6);
    EXPECT_EQ(clicks, (std::vector<int>{4, 6}));
}

TEST(ButtonStrip, DropIsAcceptedAndReportsThePointInTwips)
{
    Strip strip;
    std::vector<std::pair<const QMimeData*, QPointF>> drops;
    QObject::connect(&strip, &ButtonStrip::dropped, [&](const QMimeData* d, QPointF p) { drops.emplace_back(d, p); });
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile("/tmp/some file.txt")});
    QDropEvent drop(QPointF(40, 7), Qt::CopyAction, &data, Qt::LeftButton, {});
    strip.dropEvent(&drop);
    EXPECT_TRUE(drop.isAccepted());
    EXPECT_EQ(drops, (std::vector<std::pair<const QMimeData*, QPointF>>{{&data, QPointF(600, 105)}}));
}

TEST(ButtonStrip, ADragShowsWhereItWouldLandAndRefusesEverywhereElse)
{
    Strip strip;
    // Only the middle of the strip takes drops: button 4 there, the gap 5 (refused
    // even when asked for), nothing at either end.
    strip.setDropTarget([](QPointF at) { return at.x() < 700 ? 0 : at.x() < 900 ? 4 : at.x() < 1000 ? 5 : 0; });
    int entered = 0;
    QObject::connect(&strip, &ButtonStrip::dragEntered, [&] { ++entered; });
    QMimeData files;
    files.setUrls({QUrl::fromLocalFile("/tmp/x")});
    QMimeData text;
    text.setText("/tmp/x");

    QDragEnterEvent refused(QPoint(50, 7), Qt::CopyAction, &text, Qt::NoButton, {});
    strip.dragEnterEvent(&refused);
    EXPECT_FALSE(refused.isAccepted());
    EXPECT_EQ(entered, 0);
    QDragEnterEvent enter(QPoint(2, 7), Qt::CopyAction, &files, Qt::NoButton, {});
    strip.dragEnterEvent(&enter);
    EXPECT_TRUE(enter.isAccepted()); // so that the moves follow, even over the handle end
    EXPECT_EQ(entered, 1);

    const struct {
        int xPx;
        const QMimeData* data;
        bool accepted;
        int highlighted;
    } moves[] = {{2, &files, false, 0},  {50, &files, true, 4}, {62, &files, false, 0},
                 {50, &text, false, 4},  {80, &files, false, 0}};
    for (const auto& m : moves) {
        QDragMoveEvent move(QPoint(m.xPx, 7), Qt::CopyAction, m.data, Qt::NoButton, {});
        strip.dragMoveEvent(&move);
        EXPECT_EQ(move.isAccepted(), m.accepted) << m.xPx;
        EXPECT_EQ(strip.highlighted(), m.highlighted) << m.xPx;
    }
    QDragMoveEvent back(QPoint(50, 7), Qt::CopyAction, &files, Qt::NoButton, {});
    strip.dragMoveEvent(&back);
    ASSERT_EQ(strip.highlighted(), 4);
    QDragLeaveEvent leave;
    strip.dragLeaveEvent(&leave);
    EXPECT_EQ(strip.highlighted(), 0);
}
