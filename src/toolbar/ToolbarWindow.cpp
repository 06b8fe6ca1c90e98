#include "toolbar/ToolbarWindow.h"

#include "platform/DropItems.h"
#include "platform/Log.h"
#include "platform/Pointer.h"
#include "platform/SkipOnError.h"
#include "platform/WindowPlaces.h"
#include "platform/TaskbarEntry.h"
#include "toolbar/ButtonStrip.h"
#include "toolbar/FoldGeometry.h"
#include "toolbar/KeyboardWalk.h"
#include "toolbar/ToolbarContext.h"
#include "toolbar/ToolbarHandle.h"
#include "toolbar/ToolbarHost.h"
#include "toolbar/ToolbarMenu.h"

#include <QCloseEvent>
#include <QMenu>
#include <QMimeData>
#include <QMoveEvent>
#include <QPainter>
#include <QWindow>

#include <algorithm>
#include <cmath>
#include <limits>
#include <stdexcept>
#include <string>

namespace {

int toPixels(double twips, double perPixel)
{
    const double px = twips / perPixel;
    if (!std::isfinite(px))
        return 0;
    return static_cast<int>(std::lround(std::clamp(px, -double(QWIDGETSIZE_MAX), double(QWIDGETSIZE_MAX))));
}

// A record still at the handle-only size was not sized from buttons: nothing to unfold.
bool sizedFromButtons(const TbrRec& rec)
{
    return !(rec.Width == geometry::EmptyTwips && rec.Height == geometry::EmptyTwips);
}

} // namespace

ToolbarWindow::ToolbarWindow(ToolbarContext& context, std::uint8_t index)
    : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint)
    , m_context(context)
    , m_index(index)
    , m_images(context.filePicture, context.folderPicture)
    , m_folds(std::make_unique<FoldWatch>(context.clock, static_cast<FoldedBar&>(*this), context.stepPause, context.foldBudget))
{
    // No place asked yet: not even the origin, where the window manager may put it.
    m_asked.fill(QPoint(std::numeric_limits<int>::min(), std::numeric_limits<int>::min()));
    // A button's name is the only way to tell buttons without captions apart, and the
    // user points at the launcher while working in another program: Qt would show
    // tooltips only while this window is the active one.
    setAttribute(Qt::WA_AlwaysShowToolTips);
    const double x = perPixelX(), y = perPixelY();
    m_strip = new ButtonStrip(context.services.pointer, this);
    m_strip->setObjectName(QStringLiteral("TBar"));
    m_strip->setImageList(&m_images);
    m_strip->setCaptionCache(context.captions);
    m_strip->move(toPixels(FrameTwips, x), toPixels(FrameTwips, y));
    // Made after the strip, so it lies over the strip's first fixed button.
    m_handle = new ToolbarHandle(this);
    m_handle->setGeometry(toPixels(FrameTwips + HandleTwips, x), toPixels(FrameTwips + HandleTwips, y),
                          toPixels(HandleSideTwips, x), toPixels(HandleSideTwips, y));

    m_keys = new KeyboardWalk(context, *this, *m_strip);
    m_menus = new ToolbarMenu(context, *this);

    connect(m_strip, &ButtonStrip::buttonClicked, this,
            [this](int position) { skipOnError("button click", [&] { stripClicked(position); }); });
    connect(m_strip, &ButtonStrip::dropped, this, [this](const QMimeData* data, QPointF at) {
        skipOnError("drop on a button", [&] { stripDropped(data, at); });
    });
    m_strip->setDropTarget([this](QPointF at) { return dropPosition(at); });
    connect(m_strip, &ButtonStrip::buttonDragged, this,
            [this](int from, int to) { skipOnError("button dragged", [&] { stripDragged(from, to); }); });
    connect(m_strip, &ButtonStrip::menuRequested, this, [this](int position, QPoint global) {
        skipOnError("button menu", [&] { m_menus->openButtonMenu(position, global); });
    });
    connect(m_strip, &ButtonStrip::dragEntered, this,
            [this] { skipOnError("drag over the buttons", [&] { m_folds->hovered(); }); });
    m_handle->setDragMapping([this](QPointF global) { return handleTwips(global); },
                             [this] {
                                 bool movable = false;
                                 skipOnError("handle press", [&] { movable = !isTrue(record().Unmoveable); });
                                 return movable;
                             });
    connect(m_handle, &ToolbarHandle::pressed, this, [this](Qt::MouseButton button, QPointF) {
        if (button == Qt::RightButton)
            skipOnError("handle press", [&] { openMenu(); });
    });
    connect(m_handle, &ToolbarHandle::dragStarted, this, [this] { m_pressedAt = QPointF(m_left, m_top); });
    connect(m_handle, &ToolbarHandle::dragged, this, [this](QPointF at) {
        skipOnError("handle drag", [&] {
            const QPointF grab = m_handle->grab();
            moveTwips(m_left + float(at.x()) - float(grab.x()), m_top + float(at.y()) - float(grab.y()), m_width,
                      m_height);
        });
    });
    connect(m_handle, &ToolbarHandle::moved, this,
            [this] { skipOnError("handle move", [&] { m_folds->hovered(); }); });
    connect(m_handle, &ToolbarHandle::released, this, [this](Qt::MouseButton, QPointF) {
        skipOnError("handle release", [&] { handleReleased(); });
    });
    connect(m_handle, &ToolbarHandle::menuRequested, this,
            [this] { skipOnError("handle menu", [&] { openMenu(); }); });
    connect(m_handle, &ToolbarHandle::doubleClicked, this,
            [this] { skipOnError("handle double click", [&] { m_context.host.showConfig(m_index); }); });
    m_handle->setDropsAllowed([this] { return m_context.host.takesHandleDrops(); });
    connect(m_handle, &ToolbarHandle::dropped, this,
            [this](const QMimeData* data) { skipOnError("drop on the handle", [&] { handleDropped(data); }); });
    // A folded bar opens for a drag of files as it does for the mouse, so its buttons
    // can take the drop; the watch folds it again once the drag has gone.
    connect(m_handle, &ToolbarHandle::dragEntered, this,
            [this] { skipOnError("drag over the handle", [&] { m_folds->hovered(); }); });
}

// A window whose owner goes without closing it first (the program's objects torn down
// in order) is shut down while it is still whole: hiding it deactivates it, and the
// keyboard walk hears that and tells the fold watch, which the members' destruction
// would otherwise have freed by the time the base class hides the window.
ToolbarWindow::~ToolbarWindow()
{
    if (!m_shutDown)
        shutDown();
}

TbrRec& ToolbarWindow::record() const
{
    const ToolbarSet& set = m_context.set;
    if (m_index > set.TbrLast || m_index >= set.Tbrs.size())
        throw std::out_of_range("toolbar " + std::to_string(m_index) + " is not in the set");
    return m_context.set.Tbrs[m_index];
}

double ToolbarWindow::perPixelX() const
{
    return geometry::sanePerPixel(m_context.services.pointer.twipsPerPixelX(m_screen));
}

double ToolbarWindow::perPixelY() const
{
    return geometry::sanePerPixel(m_context.services.pointer.twipsPerPixelY(m_screen));
}

// ---- Geometry

void ToolbarWindow::moveTwips(float left, float top, float width, float height)
{
    m_left = left;
    m_top = top;
    m_width = width;
    m_height = height;
    applyGeometry();
}

QRect ToolbarWindow::pixelRect() const
{
    const double x = perPixelX(), y = perPixelY();
    return QRect(toPixels(m_left, x), toPixels(m_top, y), std::max(1, toPixels(m_width, x)),
                 std::max(1, toPixels(m_height, y)));
}

QRect ToolbarWindow::handlePixelRect() const
{
    return m_handle->geometry().translated(pixelRect().topLeft());
}

QRect ToolbarWindow::recordHandlePixelRect() const
{
    const TbrRec& rec = record();
    return m_handle->geometry().translated(toPixels(rec.Left, perPixelX()), toPixels(rec.Top, perPixelY()));
}

void ToolbarWindow::applyGeometry()
{
    m_placed = true;
    const QRect r = pixelRect();
    if (r != geometry()) {
        if (r.topLeft() != geometry().topLeft()) {
            m_asked[m_askedNext] = r.topLeft();
            m_askedNext = (m_askedNext + 1) % m_asked.size();
        }
        setGeometry(r);
    }
    emit geometryTwipsChanged();
}

void ToolbarWindow::showRescuedAt(QPoint pixel, const QScreen* screen)
{
    // Twips of the screen the window goes to, so the pixel is exactly where it lands.
    m_screen = screen;
    m_rescued = true;
    qCDebug(lcVyre, "toolbar %d brought within reach at %d,%d", int(m_index), pixel.x(), pixel.y());
    moveTwips(float(pixel.x() * perPixelX()), float(pixel.y() * perPixelY()), m_width, m_height);
}

void ToolbarWindow::returnToRecordPlace()
{
    m_rescued = false;
    const TbrRec& rec = record();
    moveTwips(rec.Left, rec.Top, m_width, m_height);
}

void ToolbarWindow::movedBySystem(QPoint pixel)
{
    // During a drag the window follows the handle; reports of earlier steps arrive late.
    if (!m_placed || m_handle->dragging())
        return;
    if (std::find(m_asked.begin(), m_asked.end(), pixel) != m_asked.end())
        return;
    const QWindow* native = windowHandle();
    if (m_context.places && native && !m_context.places->announced(*native, pixel)) {
        // No move on the screen: a window manager took the window into its frame and
        // the toolkit read the frame's place before the frame stood where the window
        // is. The window stays where it was put, and the toolkit is told so again: it
        // places drops and popups from its own idea of the window's place.
        QMetaObject::invokeMethod(
            this, [this] { skipOnError("restating the window's place", [&] {
                if (!m_shutDown && !m_handle->dragging())
                    applyGeometry();
            }); },
            Qt::QueuedConnection);
        return;
    }
    qCDebug(lcVyre, "toolbar %d moved by the window manager to %d,%d%s", int(m_index), pixel.x(), pixel.y(),
            m_context.screensSettling ? " as the screens change" : "");
    m_left = float(pixel.x() * perPixelX());
    m_top = float(pixel.y() * perPixelY());
    m_asked[m_askedNext] = pixel;
    m_askedNext = (m_askedNext + 1) % m_asked.size();
    if (m_context.screensSettling) {
        // The manager keeps the window on screens that changed: its place, not the
        // user's, which the record keeps.
        m_rescued = true;
        emit geometryTwipsChanged();
        return;
    }
    // Taken as a drag by the handle would take it: the window's place, then the record's.
    TbrRec& rec = record();
    if (!isTrue(rec.Unmoveable)) {
        m_rescued = false;
        rec.Top = m_top;
        rec.Left = m_left;
    }
    emit geometryTwipsChanged();
}

QPointF ToolbarWindow::handleTwips(QPointF globalPixel) const
{
    return QPointF(globalPixel.x() * perPixelX() - (double(m_left) + FrameTwips + HandleTwips),
                   globalPixel.y() * perPixelY() - (double(m_top) + FrameTwips + HandleTwips));
}

int ToolbarWindow::entryAt(int position) const
{
    return position >= 0 && position < static_cast<int>(m_entries.size())
        ? m_entries[static_cast<std::size_t>(position)]
        : 0;
}

// ---- Folding

void ToolbarWindow::fold(FoldDirection direction)
{
    if (!m_shutDown)
        m_folds->fold(direction);
}

bool ToolbarWindow::autoHides() const
{
    return isTrue(record().AutoHide);
}

bool ToolbarWindow::unfoldable() const
{
    return sizedFromButtons(record());
}

bool ToolbarWindow::standing() const
{
    return isTrue(record().Vertical);
}

bool ToolbarWindow::seen() const
{
    return isVisible();
}

geometry::Size ToolbarWindow::sizeTwips() const
{
    return {m_width, m_height};
}

void ToolbarWindow::resizeTwips(geometry::Size size)
{
    moveTwips(m_left, m_top, size.width, size.height);
}

geometry::Size ToolbarWindow::unfoldTo(geometry::Size now) const
{
    const TbrRec& rec = record();
    // Nothing but the handle: its full size is the one it was placed with.
    if (!sizedFromButtons(rec))
        return {geometry::EmptyTwips, geometry::EmptyTwips};
    const bool vertical = isTrue(rec.Vertical);
    const int count = m_strip->buttonCount() - ButtonStrip::FixedButtons;
    const float full = geometry::unfoldLength(vertical ? m_strip->buttonHeight() : m_strip->buttonWidth(), count,
                                              rec.SepCount);
    return geometry::unfoldedSize(now, vertical, full, m_strip->buttonWidth());
}

bool ToolbarWindow::cursorOver() const
{
    const QPoint cursor = m_context.services.pointer.cursorPixel();
    const double left = m_left / perPixelX();
    const double right = left + m_width / perPixelX();
    const double top = m_top / perPixelY();
    const double bottom = top + m_height / perPixelY();
    // A cursor exactly on an edge is inside.
    return !(left > cursor.x() || right < cursor.x() || top > cursor.y() || bottom < cursor.y());
}

void ToolbarWindow::shutDown()
{
    m_shutDown = true;
    m_folds->stop();
    m_handle->endDrag();
    hide();
}

// ---- The keyboard

void ToolbarWindow::takeKeyboardFocus()
{
    if (!m_shutDown)
        m_keys->take();
}

void ToolbarWindow::holdOpen()
{
    if (!m_shutDown)
        m_folds->holdOpen();
}

void ToolbarWindow::letGo(FoldAfter when)
{
    if (!m_shutDown)
        m_folds->letGo(when);
}

// ---- The handle and the strip

void ToolbarWindow::handleReleased()
{
    TbrRec& rec = record();
    // A click on the handle of a toolbar brought back within reach moves nothing: its
    // place stays the program's choice.
    if (m_rescued && m_pressedAt == QPointF(m_left, m_top))
        return;
    if (!isTrue(rec.Unmoveable)) {
        rec.Top = m_top;
        rec.Left = m_left;
        m_rescued = false;
    }
}

void ToolbarWindow::handleDropped(const QMimeData* data)
{
    const std::vector<std::string> items = dropItems(data);
    if (!items.empty())
        m_context.host.filesDropped(m_index, 0, items);
}

void ToolbarWindow::stripClicked(int position)
{
    const int k = entryAt(position);
    if (k > 0)
        m_context.host.buttonClicked(m_index, k);
}

int ToolbarWindow::dropPosition(QPointF at) const
{
    const bool vertical = isTrue(record().Vertical);
    const float along = float(vertical ? at.y() : at.x());
    // That end of the strip lies under the drag handle.
    if (along <= geometry::FixedTwips)
        return 0;
    for (int c = ButtonStrip::FirstButton; c <= m_strip->buttonCount(); ++c) {
        const QRectF r = m_strip->buttonRect(c);
        const double start = vertical ? r.top() : r.left();
        const double extent = vertical ? r.height() : r.width();
        if (start <= along && along < start + extent)
            return m_strip->style(c) != ButtonStrip::Style::Gap && entryAt(c) > 0 ? c : 0;
    }
    return 0;
}

void ToolbarWindow::stripDropped(const QMimeData* data, QPointF at)
{
    const int c = dropPosition(at);
    if (c == 0)
        return;
    const std::vector<std::string> items = dropItems(data);
    if (items.empty())
        return;
    // The drag a bar opened for is over.
    m_folds->dropped();
    m_context.host.filesDropped(m_index, entryAt(c), items);
}

void ToolbarWindow::stripDragged(int from, int to)
{
    const int k = entryAt(from);
    const int there = entryAt(to);
    if (k > 0 && there > 0 && k != there)
        m_context.host.moveButtonRequested(m_index, k, there);
}

// ---- The popup menu

QMenu& ToolbarWindow::menu()
{
    return m_menus->popup();
}

QAction* ToolbarWindow::modeAction(int m) const
{
    return m_menus->modeAction(m);
}

void ToolbarWindow::syncMenu()
{
    m_menus->sync();
}

QMenu* ToolbarWindow::buttonMenu() const
{
    return m_menus->buttonMenu();
}

void ToolbarWindow::openMenu()
{
    // The menu then closes properly when the user clicks elsewhere.
    if (isVisible())
        activateWindow();
    QMenu& popup = menu();
    syncMenu();
    const QPoint at(toPixels(FrameTwips + MenuAtTwips, perPixelX()), toPixels(FrameTwips + MenuAtTwips, perPixelY()));
    // From the window's own place: the toolkit's may be wrong for a moment under a
    // window manager (see movedBySystem).
    popup.popup(pixelRect().topLeft() + at);
}

// ---- Window events

bool ToolbarWindow::event(QEvent* event)
{
    // A toolbar has no entry in the task bar; the window manager forgets that at each hiding.
    if (event->type() == QEvent::Show && !event->spontaneous())
        keepOutOfTaskbar(*this);
    // On another screen the same twips may be other pixels.
    if (event->type() == QEvent::Show || event->type() == QEvent::ScreenChangeInternal) {
        if (const QScreen* now = screen(); now != m_screen) {
            m_screen = now;
            if (m_placed)
                applyGeometry();
        }
    }
    // The window manager moved the window (Alt+drag, a placement of its own).
    if (event->type() == QEvent::Move && event->spontaneous())
        skipOnError("move by the window manager", [&] { movedBySystem(static_cast<QMoveEvent*>(event)->pos()); });
    // The topmost state is set again from the flag whenever the window becomes active,
    // whatever else may have changed it meanwhile.
    if (event->type() == QEvent::WindowActivate)
        skipOnError("activation", [&] { setTopmost(*this, isTrue(record().AlwaysOnTop)); });
    return QWidget::event(event);
}

void ToolbarWindow::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const int line = std::max(1, std::min(toPixels(FrameTwips, perPixelX()), toPixels(FrameTwips, perPixelY())));
    // A raised frame of solid bands: filling spans is far cheaper than drawing it line by
    // line, which shows on bars wider than the screen.
    const QRect r = rect();
    const QColor light = palette().color(QPalette::Light);
    const QColor dark = palette().color(QPalette::Dark);
    p.fillRect(r.left(), r.top(), r.width(), line, light);
    p.fillRect(r.left(), r.top(), line, r.height(), light);
    p.fillRect(r.left(), r.bottom() - line + 1, r.width(), line, dark);
    p.fillRect(r.right() - line + 1, r.top() + line, line, r.height() - line, dark);
}

void ToolbarWindow::closeEvent(QCloseEvent* event)
{
    // A toolbar ends with the program ("&Terminate"), not by the window system's close.
    if (event->spontaneous())
        event->ignore();
    else
        QWidget::closeEvent(event);
}

bool setTopmost(QWidget& window, bool on)
{
    Qt::WindowFlags flags = window.windowFlags();
    flags.setFlag(Qt::WindowStaysOnTopHint, on);
    // QWidget::setWindowFlags would re-create the native window, hiding it on X11; the
    // stacking hint alone is passed to the existing window instead.
    if (flags != window.windowFlags())
        window.overrideWindowFlags(flags);
    QWindow* native = window.testAttribute(Qt::WA_WState_Created) ? window.windowHandle() : nullptr;
    if (!native)
        return false;
    native->setFlags(flags);
    return true;
}
