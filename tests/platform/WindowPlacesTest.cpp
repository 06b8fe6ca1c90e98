// Only places the window system announces on the screen count as moves of a window: the
// X server's notices of a window in a manager's frame are relative to the frame.
#include "platform/WindowPlaces.h"

#include <QWindow>

#include <xcb/xproto.h>

#include <gtest/gtest.h>

namespace {

constexpr std::uint32_t Root = 0x50d;
constexpr std::uint32_t Frame = 0x200261;

class WindowPlacesTest : public ::testing::Test {
protected:
    WindowPlacesTest()
    {
        window.create();
        id = static_cast<std::uint32_t>(window.winId());
        places.setRoot(Root);
    }
    void feed(void* event) { places.nativeEventFilter("xcb_generic_event_t", event, nullptr); }
    // A notice that `of` (by default the test's window) now lies at `at`, fed in as `kind`.
    void configure(QPoint at, bool sentByManager, std::uint32_t of = 0, const char* kind = "xcb_generic_event_t")
    {
        xcb_configure_notify_event_t e{};
        e.response_type = XCB_CONFIGURE_NOTIFY | (sentByManager ? 0x80 : 0);
        e.event = e.window = of ? of : id;
        e.x = static_cast<std::int16_t>(at.x());
        e.y = static_cast<std::int16_t>(at.y());
        e.width = e.height = 28;
        places.nativeEventFilter(kind, &e, nullptr);
    }
    void reparent(std::uint32_t parent)
    {
        xcb_reparent_notify_event_t e{};
        e.response_type = XCB_REPARENT_NOTIFY;
        e.event = e.window = id;
        e.parent = parent;
        feed(&e);
    }

    QWindow window;
    std::uint32_t id{};
    WindowPlaces places;
};

TEST_F(WindowPlacesTest, AFramedWindowsOwnNoticeIsNoPlaceTheManagersAndAnUnframedOnesAre)
{
    configure({80, 80}, false); // no manager yet: the server's notice is on the screen
    EXPECT_TRUE(places.announced(window, {80, 80}));
    EXPECT_FALSE(places.announced(window, {0, 0}));
    // Other windows' notices, and what is no X event, announce nothing.
    configure({40, 0}, true, id + 1);
    configure({40, 0}, true, id, "windows_generic_MSG");
    EXPECT_FALSE(places.announced(window, {40, 0}));

    reparent(Frame);
    configure({0, 0}, false); // in the frame's corner
    EXPECT_FALSE(places.announced(window, {0, 0}));

    configure({700, 300}, true); // the user dragged the frame: the manager says where
    EXPECT_TRUE(places.announced(window, {700, 300}));

    reparent(Root); // the manager let the window go
    configure({5, 6}, false);
    EXPECT_TRUE(places.announced(window, {5, 6}));
    // Without X (these tests run off screen) every reported place is believed.
    EXPECT_TRUE(WindowPlaces().announced(window, {123, 45}));
}

} // namespace
