#pragma once

#include <QAbstractNativeEventFilter>
#include <QPoint>

#include <array>
#include <cstdint>
#include <unordered_map>
#include <unordered_set>

class QWindow;

// Which places of its top-level windows the window system itself has announced, so a
// move reported by the toolkit can be told from an artefact of reparenting.
//
// Under a reparenting window manager (openbox, icewm, most desktops) a window lives in
// the manager's frame. The X server's own notices of the window's geometry are then
// relative to that frame, and the toolkit turns them into screen places by asking the
// server where the window is at the moment it reads the notice. While the manager takes
// a new window in, it puts it into a frame that still stands at the screen's corner and
// moves the frame to the window's place only a moment later; a notice read in between
// becomes a "move" to the corner, and no later notice corrects it, because the window
// never moved on the screen. The manager's own moves (the user dragging the frame, or
// a place the manager chose) are announced by the manager in screen coordinates, as
// ICCCM asks, and so is every place of a window that is not in a frame.
class WindowPlaces : public QAbstractNativeEventFilter {
public:
    // Listens to the X events of the application when it runs on X; on any other window
    // system every reported place is taken as it is.
    WindowPlaces();
    ~WindowPlaces() override;
    WindowPlaces(const WindowPlaces&) = delete;
    WindowPlaces& operator=(const WindowPlaces&) = delete;

    // True when the window system announced this place (logical pixels on the screen)
    // for the window lately, or when it is not X and nothing is known.
    bool announced(const QWindow& window, QPoint place) const;

    // X events are classified here: configure and reparent notices of any window.
    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

    // For a test that plays X events without an X server: this window is the root.
    void setRoot(std::uint32_t root);

private:
    void note(std::uint32_t window, QPoint nativePlace);

    bool m_listening{false};
    std::uint32_t m_root{0};
    // Windows that stand in a window manager's frame now.
    std::unordered_set<std::uint32_t> m_framed;
    struct Recent {
        std::array<QPoint, 8> places{};
        std::size_t next{0};
        std::size_t count{0};
    };
    std::unordered_map<std::uint32_t, Recent> m_announced;
};
