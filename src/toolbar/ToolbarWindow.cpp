#include "toolbar/ToolbarWindow.h"

#include "platform/Clock.h"
#include "platform/DropItems.h"
#include "platform/IconSource.h"
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
#include <QScopedValueRollback>
#include <QWindow>
#include <QtMath>

#include <algorithm>
#include <cmath>
#include <limits>
#include <stdexcept>
#include <string>

namespace {

// A drawn icon as a button's 16x16 picture at the screens' pixel ratio; a source that
// drew another size is scaled to it.
QPixmap buttonPicture(const QImage& icon, qreal ratio)
{
    if (icon.isNull())
        return {};
    const int side = qCeil(16 * ratio);
    QPixmap picture = QPixmap::fromImage(icon.size() == QSize(side, side)
                                             ? icon
                                             : icon.scaled(side, side, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    picture.setDevicePixelRatio(ratio);
    return picture;
}

double sanePerPixel(double twips)
{
    return twips > 0.0 && std::isfinite(twips) ? twips : 15.0;
}

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

ToolbarWindow::~ToolbarWindow() = default;

TbrRec& ToolbarWindow::record() const
{
    const ToolbarSet& set = m_context.set;
    if (m_index > set.TbrLast || m_index >= set.Tbrs.size())
        throw std::out_of_range("toolbar " + std::to_string(m_index) + " is not in the set");
    return m_context.set.Tbrs[m_index];
}

double ToolbarWindow::perPixelX() const
{
    return sanePerPixel(m_context.services.pointer.twipsPerPixelX(m_screen));
}

double ToolbarWindow::perPixelY() const
{
    return sanePerPixel(m_context.services.pointer.twipsPerPixelY(m_screen));
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

// ---- Building

void ToolbarWindow::ensureBuilt()
{
    if (!m_built)
        rebuild();
}

void ToolbarWindow::rebuild()
{
    buildImageList();
    buildButtons();
    refresh();
}

QPixmap ToolbarWindow::iconPicture(const std::string& file, std::int16_t index) const
{
    if (index < 1)
        return {};
    const qreal ratio = m_context.pictureRatio;
    return buttonPicture(m_context.services.icons.draw(file, index - 1, qCeil(16 * ratio)), ratio);
}

QPixmap ToolbarWindow::targetPicture(const std::string& target) const
{
    if (target == RecallMarker)
        return m_context.recallPicture;
    if (QString::fromLocal8Bit(target).trimmed().isEmpty())
        return {};
    const qreal ratio = m_context.pictureRatio;
    return buttonPicture(m_context.services.icons.drawTarget(target, qCeil(16 * ratio)), ratio);
}

void ToolbarWindow::buildImageList()
{
    // Every build step counts the window as built, so a fold within the build does not
    // start the build again.
    m_built = true;
    TbrRec& rec = record();
    const QPixmap own = iconPicture(rec.IconFile, rec.IconIndex);
    m_handle->setPicture(own); // none: the claws

    m_images.clearCustom();
    std::int16_t next = 3;
    for (int k = 1; k <= rec.BtnCount; ++k) {
        BtnRec& b = rec.Btns.at(static_cast<std::size_t>(k));
        QPixmap icon = iconPicture(b.IconFile, b.IconIndex);
        // A button with no icon of its own shows what its target is. Only shown: the
        // record keeps its icon number 0.
        if (icon.isNull() && b.IconIndex < 1 && b.Kind != KindSeparator)
            icon = targetPicture(b.Executable);
        if (!icon.isNull()) {
            m_images.put(next, icon);
            b.ImageIndex = next++;
        } else {
            b.ImageIndex = b.Kind == KindFolder ? 2 : 1;
        }
    }
    m_strip->update();
}

void ToolbarWindow::showIdentityTexts()
{
    const QString name = QString::fromLocal8Bit(record().Name);
    setWindowTitle(name);
    // A first start explains itself: the handle is all a new user sees.
    m_handle->setToolTip(name + QStringLiteral("\nright-click for the menu, double-click to configure"));
}

void ToolbarWindow::showIdentity()
{
    showIdentityTexts();
    const TbrRec& rec = record();
    if (rec.IconIndex < 1 || QString::fromLocal8Bit(rec.IconFile).trimmed().isEmpty()) {
        m_handle->setPicture({}); // the claws
        return;
    }
    const QPixmap own = iconPicture(rec.IconFile, rec.IconIndex);
    if (!own.isNull())
        m_handle->setPicture(own);
}

void ToolbarWindow::buildButtons()
{
    m_built = true;
    TbrRec& rec = record();
    rec.SepCount = 0;
    for (int n = m_strip->buttonCount() - ButtonStrip::FixedButtons; n > 0; --n)
        m_strip->removeButton(ButtonStrip::FirstButton);

    std::vector<int> entries(3, 0); // positions 0 (unused), 1 and 2 (the fixed buttons)
    int skipped = 0;
    const bool captions = isTrue(rec.Captions);
    for (int k = 1; k <= rec.BtnCount; ++k) {
        const BtnRec& b = rec.Btns.at(static_cast<std::size_t>(k));
        const int p = k + ButtonStrip::FixedButtons - skipped;
        if (b.Kind == KindSeparator) {
            m_strip->addButton(p, ButtonStrip::Style::Gap, 0);
            ++rec.SepCount;
        } else if (IsBlankButton(b)) {
            // Left out exactly as the toolbar file leaves it out, so what is shown now
            // is what comes back at the next start.
            ++skipped;
            continue;
        } else {
            m_strip->addButton(p, ButtonStrip::Style::Normal, b.ImageIndex);
            const QString name = QString::fromLocal8Bit(b.Name);
            if (captions)
                m_strip->setCaption(p, name);
            else
                m_strip->setToolTipText(p, name);
        }
        entries.push_back(k);
    }
    m_entries = std::move(entries);
}

void ToolbarWindow::refresh()
{
    m_built = true;
    applyCaptionStyle();
    place();
    m_folds->laidOut();
    syncMenu();
    const TbrRec& rec = record();
    showIdentityTexts();
    // While the button editor is open the windows keep their visibility.
    if (m_context.host.buttonEditorVisible())
        return;
    if (m_index == 0 || isTrue(rec.Visible))
        showWindow();
    else
        hide();
}

void ToolbarWindow::showWindow()
{
    // A window shown for the first time is made with its stacking already right.
    if (!testAttribute(Qt::WA_WState_Created))
        setTopmost(*this, isTrue(record().AlwaysOnTop));
    show();
}

void ToolbarWindow::place()
{
    m_built = true;
    // A fresh layout replaces whatever a fold in progress was doing.
    m_folds->stopFolding();
    TbrRec& rec = record();
    rec.Width = geometry::EmptyTwips;
    rec.Height = geometry::EmptyTwips;
    // A window brought back within reach stays there until its own place is reachable
    // again or the user moves it.
    const float left = m_rescued ? m_left : rec.Left;
    const float top = m_rescued ? m_top : rec.Top;
    if (rec.BtnCount == 0)
        moveTwips(left, top, geometry::EmptyTwips, geometry::EmptyTwips);
    else {
        moveTwips(left, top, m_width, m_height);
        sizeToButtons();
    }
    // Before the window is shown: a window manager may move a window that comes up
    // out of reach by a choice of its own, which would then count as the user's.
    if (m_context.keepWithinReach)
        m_context.keepWithinReach(*this);
}

void ToolbarWindow::sizeToButtons()
{
    m_built = true;
    TbrRec& rec = record();
    const int count = m_strip->buttonCount() - ButtonStrip::FixedButtons;
    const int separators = rec.SepCount;
    const bool vertical = isTrue(rec.Vertical);
    const float bw = m_strip->buttonWidth();
    m_strip->setWrappable(vertical);
    m_strip->setWidthTwips(vertical || count == 0 ? bw
                                                  : geometry::stripLength(bw, count - separators, separators));
    const geometry::Size size = geometry::windowSize(vertical, bw, m_strip->buttonHeight(),
                                                     m_strip->heightTwips(), count, separators);
    moveTwips(m_left, m_top, size.width, size.height);
    rec.Width = size.width;
    // A standing window's record keeps the height of a bare handle.
    if (!vertical)
        rec.Height = size.height;
}

void ToolbarWindow::applyCaptionStyle()
{
    m_built = true;
    m_strip->setCaptionsShown(isTrue(record().Captions));
}

void ToolbarWindow::applyCaptions()
{
    const TbrRec& rec = record();
    const bool captions = isTrue(rec.Captions);
    for (int c = ButtonStrip::FirstButton; c <= m_strip->buttonCount(); ++c) {
        const int k = entryAt(c);
        if (k < 1 || k > rec.BtnCount)
            continue;
        const QString name = QString::fromLocal8Bit(rec.Btns.at(static_cast<std::size_t>(k)).Name);
        m_strip->setToolTipText(c, captions ? QString() : name);
        m_strip->setCaption(c, captions ? name : QString());
    }
}

// ---- Modes

void ToolbarWindow::applyMode(int m)
{
    // A window that was shut down only waits to be deleted: a menu item or a queued
    // event that still reaches it changes nothing.
    if (m_shutDown || m < 0 || m >= ModeCount)
        return;
    if (m_context.modeChangeRunning) {
        qCInfo(lcVyre, "mode %d of toolbar %d: another mode change is still running", m, int(m_index));
        return;
    }
    const QScopedValueRollback running(m_context.modeChangeRunning, true);

    // A toolbar not built yet is built as it stands, then switched.
    ensureBuilt();
    Bool16& flag = record().mode(m);
    flag = isTrue(flag) ? False16 : True16;
    const bool on = isTrue(flag);
    if (QAction* item = modeAction(m))
        item->setChecked(on);
    ToolbarHost& host = m_context.host;
    if (m != Visible && host.configShows(m_index))
        host.setModeCheck(m, on);

    switch (m) {
    case Vertical:
        refresh();
        break;
    case Captions:
        applyCaptionStyle();
        applyCaptions();
        place();
        break;
    case AlwaysOnTop:
        setTopmost(*this, on);
        break;
    case Visible:
        // Toolbar 0 is always shown.
        if (on || m_index == 0)
            showWindow();
        else
            hide();
        if (host.configShows(m_index))
            host.setModeCheck(m, on);
        break;
    case AutoHide:
        m_folds->autoHideSwitched(on);
        break;
    default:
        break;
    }
    host.saveConfig();
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
    const std::vector<std::string> items = DropItems(data);
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
    const std::vector<std::string> items = DropItems(data);
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
