#include "support/FakePointer.h"
#include "toolbar/TBar.h"

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

// Synthesised drops never reach a widget through the event loop without a drag in
// progress, so the test hands the event to the handler itself.
struct WithPointer {
    FakePointer pointer;
};
struct Bar : WithPointer, TBar {
    using TBar::dropEvent;
    // Three buttons and a gap after the two fixed buttons: positions 3, 4, gap 5, 6.
    Bar() : TBar(pointer)
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

TEST(TBar, PlainButtonIs23By22PixelsAtAnyTwipsPerPixel)
{
    for (auto [perPixel, bw, bh] : {std::tuple{15.0, 345.0f, 330.0f}, {12.0, 276.0f, 264.0f}, {7.5, 172.5f, 165.0f}}) {
        FakePointer pointer;
        pointer.perPixelX = pointer.perPixelY = perPixel;
        TBar bar(pointer);
        EXPECT_EQ(bar.buttonWidth(), bw) << perPixel;
        EXPECT_EQ(bar.buttonHeight(), bh) << perPixel;
    }
}

TEST(TBar, OnlyALeftClickPressedAndReleasedOnOneNormalButtonCounts)
{
    Bar bar;
    bar.setWrappable(false);
    bar.setWidthTwips(1625);
    bar.show();
    std::vector<int> clicks;
    QObject::connect(&bar, &TBar::buttonClicked, [&](int position) { clicks.push_back(position); });
    bar.click(4);
    bar.click(5); // gap
    bar.click(1); // under the handle
    bar.click(6, Qt::RightButton);
    bar.mouse(QEvent::MouseButtonPress, Qt::LeftButton, bar.centrePx(3));
    bar.mouse(QEvent::MouseButtonRelease, Qt::LeftButton, bar.centrePx(6));
    bar.click(6);
    EXPECT_EQ(clicks, (std::vector<int>{4, 6}));
}

TEST(TBar, DropIsAcceptedAndReportsThePointInTwips)
{
    Bar bar;
    std::vector<std::pair<const QMimeData*, QPointF>> drops;
    QObject::connect(&bar, &TBar::dropped, [&](const QMimeData* d, QPointF p) { drops.emplace_back(d, p); });
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile("/tmp/some file.txt")});
    QDropEvent drop(QPointF(40, 7), Qt::CopyAction, &data, Qt::LeftButton, {});
    bar.dropEvent(&drop);
    EXPECT_TRUE(drop.isAccepted());
    EXPECT_EQ(drops, (std::vector<std::pair<const QMimeData*, QPointF>>{{&data, QPointF(600, 105)}}));
}

