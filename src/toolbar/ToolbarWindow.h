#pragma once

#include "store/TbrRec.h"
#include "toolbar/FoldWatch.h"
#include "toolbar/ImageList.h"

#include <QWidget>

#include <array>
#include <chrono>
#include <cstdint>
#include <memory>
#include <vector>

class ButtonStrip;
class KeyboardWalk;
class QAction;
class QMenu;
class QMimeData;
class QScreen;
class ToolbarHandle;
class ToolbarMenu;
struct ToolbarContext;

// One toolbar's window: a frameless tool window (no task-bar entry) holding the drag
// handle over a strip of buttons, and the popup menu once it is first opened. It builds
// itself from its record, switches its display modes, folds and unfolds, and follows the
// mouse on its handle. The toolbar manager makes it and tells it its index.
//
// Geometry is kept in twips as floats, because the size and fold arithmetic is done in
// twips: reading gives back exactly what was set, and the native window follows at the
// rounded pixels of the screen it is on. The window draws its own frame of 45 twips per
// side; the strip sits inside it, the handle 45 twips further in.
class ToolbarWindow : public QWidget, private FoldedBar {
    Q_OBJECT
public:
    static constexpr float FrameTwips = 45.0f;
    static constexpr float HandleTwips = 45.0f;    // the handle's left and top inside the frame
    static constexpr float HandleSideTwips = 255.0f;
    static constexpr float MenuAtTwips = 150.0f;   // where the popup menu opens inside the frame
    static constexpr std::chrono::milliseconds WatchInterval = FoldWatch::WatchInterval;
    using HoverState = FoldWatch::HoverState;

    ToolbarWindow(ToolbarContext& context, std::uint8_t index);
    ~ToolbarWindow() override;

    // The toolbar this window shows.
    std::uint8_t index() const { return m_index; }
    // Set by the manager when toolbars are renumbered.
    void setIndex(std::uint8_t index) { m_index = index; }

    float leftTwips() const { return m_left; }
    float topTwips() const { return m_top; }
    float widthTwips() const { return m_width; }
    float heightTwips() const { return m_height; }
    void moveTwips(float left, float top, float width, float height);
    // True once the window was given a position (its twips geometry means something).
    bool placed() const { return m_placed; }
    // Shows the window with its top-left corner at a pixel of screen, a place the
    // program chose to bring the toolbar back within reach: the record keeps the place
    // the user gave it until the user moves the toolbar, and later layouts keep the
    // window where it was brought.
    void showRescuedAt(QPoint pixel, const QScreen* screen);
    // Puts a rescued window back at its record's place (its screen has come back).
    void returnToRecordPlace();
    // True while the window stands at a place the program chose, not at the user's.
    bool rescued() const { return m_rescued; }
    // The window and its handle in screen pixels, from the window's own place: the
    // window system's idea of it may lag behind, or be wrong for a moment under a
    // reparenting window manager.
    QRect pixelRect() const;
    QRect handlePixelRect() const;
    // The handle's rectangle in screen pixels were the window at its record's place.
    QRect recordHandlePixelRect() const;
    // True once the toolbar's pictures, buttons and size were built into the window.
    bool built() const { return m_built; }

    ButtonStrip& strip() { return *m_strip; }
    ToolbarHandle& handle() { return *m_handle; }
    const ImageList& images() const { return m_images; }
    // The record button shown at a strip position (0: none, as for the fixed buttons).
    int entryAt(int position) const;

    // Building from the record. rebuild() does it all: pictures, buttons, then refresh():
    // captions, place and size, fold, menu ticks, title and visibility.
    void ensureBuilt() override;
    void rebuild();
    void refresh();
    // The picture of what a button's target is, for a button without an icon.
    QPixmap targetPicture(const std::string& target) const;
    // After a rename or a new icon: the record's name becomes the title and its own icon
    // the handle's picture. An icon that does not draw leaves the picture as it is; a
    // toolbar left without an icon gets the built-in claws back.
    void showIdentity();

    // Toggles display mode m (a Mode) of the toolbar and carries it out, then saves.
    void applyMode(int m);

    // The popup menu, made when first needed (most toolbars never open theirs).
    QMenu& menu();
    // Mode item m; null before the menu is made.
    QAction* modeAction(int m) const;
    // Ticks the mode items from the record; nothing to do before the menu is made.
    void syncMenu();
    // The menu a right click on a button opens: that button's commands, then the popup
    // menu above as a submenu. Made when first needed; null before.
    QMenu* buttonMenu() const;

    // Folds the window down to its handle, in steps a timer paces, or unfolds it at once.
    // A window nobody sees folds at once to the size the steps would end in. A new fold or
    // unfold takes over from one in progress.
    void fold(FoldDirection direction);
    bool folding() const { return m_folds->folding(); }
    HoverState hoverState() const { return m_folds->hoverState(); }
    // True while an unfold by a hover is watched.
    bool watching() const { return m_folds->watching(); }

    // Ends the window's life: no timer runs any more and it is hidden.
    void shutDown();
    bool isShutDown() const { return m_shutDown; }

    // Raises the toolbar, unfolded, with the keyboard focus on its buttons, which the
    // keys then walk (see KeyboardWalk).
    void takeKeyboardFocus();
    // Opens the popup menu at the toolbar (its place inside the frame).
    void openMenu();
    // While the keyboard works on the toolbar, an auto-hiding bar is unfolded and stays
    // so. Let go, it folds at once, or once the mouse is not over it.
    void holdOpen();
    using FoldAfter = FoldWatch::FoldAfter;
    void letGo(FoldAfter when);

signals:
    // The twips geometry was set (each step of a fold sets it once).
    void geometryTwipsChanged();

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    // The steps of a build, each counting the window as built.
    void buildImageList();
    void buildButtons();
    // Moves to the record's place and takes the size its buttons give.
    void place();
    void sizeToButtons();
    void applyCaptionStyle();
    void applyCaptions();
    TbrRec& record() const;
    void showWindow();
    void handleReleased();
    void handleDropped(const QMimeData* data);
    void stripClicked(int position);
    void stripDropped(const QMimeData* data, QPointF at);
    void stripDragged(int from, int to);
    // The strip position a drop at this point (twips in the strip) goes to, 0: none.
    int dropPosition(QPointF at) const;
    // What folding asks of the window.
    bool autoHides() const override;
    bool unfoldable() const override;
    bool standing() const override;
    bool seen() const override;
    geometry::Size sizeTwips() const override;
    void resizeTwips(geometry::Size size) override;
    geometry::Size unfoldTo(geometry::Size now) const override;
    bool cursorOver() const override;
    void applyGeometry();
    void movedBySystem(QPoint pixel);
    void showIdentityTexts();
    QPixmap iconPicture(const std::string& file, std::int16_t index) const;
    // The handle-relative position in twips of a point on the screen, from the window's
    // own twips position, so a drag never depends on when the window system catches up.
    QPointF handleTwips(QPointF globalPixel) const;
    double perPixelX() const;
    double perPixelY() const;

    ToolbarContext& m_context;
    std::uint8_t m_index;
    // The screen the window is on, taken when it is shown or moves; none before: the
    // primary one. Asked only then: asking is dearer than placing the window.
    const QScreen* m_screen{};
    ButtonStrip* m_strip{};
    ToolbarHandle* m_handle{};
    ImageList m_images;
    std::unique_ptr<FoldWatch> m_folds;
    KeyboardWalk* m_keys{}; // a child object
    ToolbarMenu* m_menus{}; // a child object
    std::vector<int> m_entries;
    float m_left{0.0f};
    float m_top{0.0f};
    float m_width{0.0f};
    float m_height{0.0f};
    bool m_placed{false};
    bool m_built{false};
    bool m_rescued{false};

    bool m_shutDown{false};
    QPointF m_pressedAt; // the window's place when the drag took hold
    // The last places this program asked the window system for. The window system
    // reports each back, sometimes after the next was asked for; a place reported that
    // is none of these was chosen by someone else (the window manager).
    std::array<QPoint, 8> m_asked{};
    std::size_t m_askedNext{0};

};

// Keeps the window above all windows that are not topmost, or lets it be stacked
// normally; position, size and visibility stay as they are. True when a native window
// took the change (a window not yet shown takes it when it is first shown).
bool setTopmost(QWidget& window, bool on);
