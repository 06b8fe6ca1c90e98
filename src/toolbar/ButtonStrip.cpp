#include "toolbar/ButtonStrip.h"

#include "platform/DropItems.h"
#include "toolbar/CaptionCache.h"
#include "toolbar/StripAccessible.h"
#include "toolbar/StripLayout.h"
#include "toolbar/StripPainting.h"

#include <QAccessible>
#include <QApplication>
#include <QDragEnterEvent>
#include <QDragLeaveEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>

#include <algorithm>
#include <cmath>
#include <utility>

namespace {

// A tooltip is laid out whole before it shows: a name of a million characters would hold
// the program up for seconds.
constexpr qsizetype MaxTipChars = 500;

} // namespace

// The layout holds the buttons; the rest is what the user is doing with them. Indexes
// are the layout's (a position less one), -1 none.
struct ButtonStrip::Private {
    explicit Private(const Pointer& metrics) : layout(metrics) { }

    StripLayout layout;
    const ImageList* images = nullptr;
    CaptionCache* captions = nullptr;
    int hover = -1;
    int pressed = -1;
    int focus = -1; // the keyboard's button
    std::function<int(QPointF)> dropTarget;
    int batches = 0;        // open ButtonStrip::Batch objects
    bool laidOutLate = false; // a change in a batch still to be laid out

    // A left press on a normal button is Armed until the mouse goes the drag distance
    // (a click when let go before), then Dragging; Escape or another button makes it
    // Cancelled until the left button is let go.
    enum class Drag { None, Armed, Dragging, Cancelled };
    Drag drag = Drag::None;
    QPoint pressedAt;  // pixels
    int dragged = -1;
    int dragTo = -1;   // -1: let go here, it stays

    QPointF twipsOf(QPointF px) const
    {
        return QPointF(px.x() * layout.twipsPerPixelX(), px.y() * layout.twipsPerPixelY());
    }
};

ButtonStrip::ButtonStrip(const Pointer& metrics, QWidget* parent) : QWidget(parent), d(std::make_unique<Private>(metrics))
{
    setMouseTracking(true);
    setAcceptDrops(true);
    setAttribute(Qt::WA_Hover, false); // hover is tracked per button, not per widget
    // Reached by the keyboard, never by a click: a click starts a program, which takes
    // the focus anyway, and a mark left behind would only be clutter.
    setFocusPolicy(Qt::TabFocus);
    relayout();
    StripAccessible::install();
}

ButtonStrip::~ButtonStrip() = default;

ButtonStrip::Batch::Batch(ButtonStrip& strip) : m_strip(strip)
{
    ++m_strip.d->batches;
}

ButtonStrip::Batch::~Batch()
{
    if (--m_strip.d->batches == 0 && std::exchange(m_strip.d->laidOutLate, false))
        m_strip.relayout();
}

int ButtonStrip::buttonCount() const
{
    return d->layout.count();
}

void ButtonStrip::addButton(int position, Style style, int imagePosition)
{
    position = std::clamp(position, FixedButtons + 1, buttonCount() + 1);
    StripLayout::Button b;
    b.style = style;
    b.image = style == Style::Gap ? 0 : imagePosition;
    stopDragging();
    d->layout.insert(position - 1, std::move(b));
    d->hover = d->pressed = -1;
    relayout();
}

void ButtonStrip::removeButton(int position)
{
    if (position <= FixedButtons || position > buttonCount())
        return;
    stopDragging();
    d->layout.erase(position - 1);
    d->hover = d->pressed = -1;
    relayout();
}

ButtonStrip::Style ButtonStrip::style(int position) const
{
    return d->layout.valid(position - 1) ? d->layout.at(position - 1).style : Style::Gap;
}

void ButtonStrip::setCaption(int position, const QString& caption)
{
    if (!d->layout.valid(position - 1) || position <= FixedButtons)
        return;
    if (d->layout.setCaption(position - 1, caption) && d->layout.captions())
        relayout();
}

QString ButtonStrip::caption(int position) const
{
    return d->layout.valid(position - 1) ? d->layout.at(position - 1).caption : QString();
}

void ButtonStrip::setToolTipText(int position, const QString& text)
{
    if (d->layout.valid(position - 1) && position > FixedButtons)
        d->layout.setTip(position - 1, text);
}

QString ButtonStrip::toolTipText(int position) const
{
    return d->layout.valid(position - 1) ? d->layout.at(position - 1).tip : QString();
}

QRectF ButtonStrip::buttonRect(int position) const
{
    return d->layout.valid(position - 1) ? d->layout.at(position - 1).rect : QRectF();
}

QRect ButtonStrip::buttonPixelRect(int position) const
{
    return d->layout.valid(position - 1) ? d->layout.pixelRect(d->layout.at(position - 1).rect) : QRect();
}

void ButtonStrip::press(int position)
{
    if (position > FixedButtons && style(position) == Style::Normal)
        emit buttonClicked(position);
}

int ButtonStrip::focusMark() const
{
    return d->layout.clickable(d->focus) ? d->focus + 1 : 0;
}

void ButtonStrip::setFocusMark(int position)
{
    const int focus = d->layout.clickable(position - 1) ? position - 1 : -1;
    if (focus == d->focus)
        return;
    d->focus = focus;
    update();
    announceFocusMark();
}

void ButtonStrip::announceFocusMark()
{
    // A screen reader follows the keyboard from button to button only when told which
    // of the strip's children it is on.
    if (!QAccessible::isActive() || !hasFocus() || d->focus < 0)
        return;
    auto* strip = static_cast<StripAccessible*>(QAccessible::queryAccessibleInterface(this));
    for (int i = 0; strip && i < strip->childCount(); ++i) {
        if (strip->positionOf(i) == d->focus + 1) {
            QAccessibleEvent focused(this, QAccessible::Focus);
            focused.setChild(i);
            QAccessible::updateAccessibility(&focused);
            return;
        }
    }
}

bool ButtonStrip::mouseHeld() const
{
    return d->drag != Private::Drag::None;
}

float ButtonStrip::buttonWidth() const
{
    return d->layout.buttonWidth();
}

float ButtonStrip::buttonHeight() const
{
    return d->layout.buttonHeight();
}

void ButtonStrip::setWrappable(bool wrap)
{
    if (d->layout.wrap() == wrap)
        return;
    d->layout.setWrap(wrap);
    relayout();
}

float ButtonStrip::widthTwips() const
{
    return d->layout.width();
}

float ButtonStrip::heightTwips() const
{
    return d->layout.height();
}

void ButtonStrip::setWidthTwips(float width)
{
    if (!std::isfinite(width) || width < 0.0f)
        width = 0.0f;
    d->layout.setWidth(width);
    relayout();
}

void ButtonStrip::setCaptionsShown(bool shown)
{
    if (d->layout.captions() == shown)
        return;
    d->layout.setCaptions(shown);
    relayout();
}

void ButtonStrip::setCaptionCache(CaptionCache* cache)
{
    if (d->captions == cache)
        return;
    d->captions = cache;
    d->layout.forgetCaptionWidths();
    relayout();
}

void ButtonStrip::setImageList(const ImageList* images)
{
    d->images = images;
    update();
}

void ButtonStrip::relayout()
{
    if (d->batches > 0) {
        d->laidOutLate = true;
        return;
    }
    // Captions measured by an earlier run with the same font are taken as they were.
    class Kept final : public StripLayout::KeptMeasures {
    public:
        Kept(CaptionCache& cache, QByteArray context) : m_cache(cache), m_context(std::move(context)) {}
        std::optional<Measure> find(const QString& caption) override
        {
            const std::optional<CaptionCache::Measure> m = m_cache.measure(key(caption));
            return m ? std::optional(Measure{m->shown, m->width, m->lineHeight}) : std::nullopt;
        }
        void keep(const QString& caption, const Measure& m) override
        {
            m_cache.keepMeasure(key(caption), {m.shown, m.width, m.lineHeight});
        }

    private:
        QByteArray key(const QString& caption) const { return captionKey(m_context, '\x1d', caption); }
        CaptionCache& m_cache;
        QByteArray m_context;
    };
    std::optional<Kept> kept;
    if (d->captions && d->layout.showsCaptions())
        kept.emplace(*d->captions, captionContext(*this));
    d->layout.update(fontMetrics(), [this](const QString& caption) { return shapeCaption(*this, caption); },
                     kept ? &*kept : nullptr);
    const QSize px = d->layout.pixelSize();
    if (size() != px)
        resize(px);
    update();
    // Screen readers hold on to the buttons they were shown; they look again when told.
    if (QAccessible::isActive()) {
        QAccessibleEvent changed(this, QAccessible::ObjectReorder);
        QAccessible::updateAccessibility(&changed);
    }
}

void ButtonStrip::paintEvent(QPaintEvent* event)
{
    QPainter p(this);
    StripMarks marks;
    marks.hover = d->hover;
    marks.pressed = d->pressed;
    marks.focus = hasFocus() ? d->focus : -1;
    if (d->drag == Private::Drag::Dragging) {
        marks.dragged = d->dragged;
        marks.dragTo = d->dragTo;
    }
    CaptionPictures pictures;
    if (d->captions && d->layout.showsCaptions())
        pictures = {d->captions, captionContext(*this)};
    paintStrip(p, *this, d->layout, d->images, marks, event->rect(), pictures);
}

void ButtonStrip::mousePressEvent(QMouseEvent* event)
{
    const QPoint at = event->position().toPoint();
    if (event->button() == Qt::RightButton) {
        // Another button ends a drag: the button stays where it was.
        if (d->drag == Private::Drag::Dragging || d->drag == Private::Drag::Armed) {
            stopDragging();
            d->drag = Private::Drag::Cancelled;
            d->pressed = -1;
            update();
        }
        const int i = d->layout.hit(at);
        if (i >= FixedButtons)
            emit menuRequested(i + 1, event->globalPosition().toPoint());
        return;
    }
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    const int i = d->layout.hit(at);
    d->hover = i;
    d->pressed = d->layout.clickable(i) ? i : -1;
    d->drag = d->pressed >= 0 ? Private::Drag::Armed : Private::Drag::None;
    d->pressedAt = at;
    update();
}

void ButtonStrip::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint at = event->position().toPoint();
    if (d->drag != Private::Drag::None && !(event->buttons() & Qt::LeftButton)) {
        // The release went elsewhere (a grab by another program): no drag goes on.
        stopDragging();
        d->pressed = -1;
    }
    if (d->drag == Private::Drag::Armed
        && (at - d->pressedAt).manhattanLength() >= QApplication::startDragDistance()) {
        // From here on the press is a drag, not a click. Escape reaches the strip
        // whichever window has the keyboard.
        d->drag = Private::Drag::Dragging;
        d->dragged = d->pressed;
        d->pressed = -1;
        grabKeyboard();
    }
    if (d->drag == Private::Drag::Dragging) {
        const int to = d->layout.dragTargetAt(at, size());
        if (to != d->dragTo) {
            d->dragTo = to;
            update();
        }
        setCursor(to >= 0 ? Qt::ClosedHandCursor : Qt::ForbiddenCursor);
        return;
    }
    if (d->drag == Private::Drag::Cancelled)
        return;
    const int i = d->layout.hit(at);
    const int hover = d->layout.clickable(i) ? i : -1;
    if (hover != d->hover) {
        d->hover = hover;
        update();
    }
    QWidget::mouseMoveEvent(event);
}

void ButtonStrip::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        QWidget::mouseReleaseEvent(event);
        return;
    }
    if (d->drag == Private::Drag::Dragging || d->drag == Private::Drag::Cancelled) {
        const bool dragging = d->drag == Private::Drag::Dragging;
        const int from = d->dragged;
        const int to = d->dragTo;
        stopDragging();
        d->pressed = -1;
        update();
        // Emitted last: the handler rebuilds the buttons under us.
        if (dragging && to >= FixedButtons && to != from)
            emit buttonDragged(from + 1, to + 1);
        return;
    }
    d->drag = Private::Drag::None;
    const int pressed = d->pressed;
    const int over = d->layout.hit(event->position().toPoint());
    d->pressed = -1;
    update();
    // Emitted last: the handler may rebuild the buttons under us.
    if (pressed >= 0 && pressed == over && d->layout.clickable(pressed))
        emit buttonClicked(pressed + 1);
}

void ButtonStrip::keyPressEvent(QKeyEvent* event)
{
    if (d->drag == Private::Drag::Dragging && event->key() == Qt::Key_Escape) {
        // Cancelled until the left button is let go, which then does nothing.
        stopDragging();
        d->drag = Private::Drag::Cancelled;
        update();
        return;
    }
    QWidget::keyPressEvent(event);
}

void ButtonStrip::stopDragging()
{
    if (d->drag == Private::Drag::Dragging) {
        releaseKeyboard();
        unsetCursor();
    }
    d->drag = Private::Drag::None;
    d->dragged = -1;
    d->dragTo = -1;
}

int ButtonStrip::dragTarget() const
{
    return d->drag == Private::Drag::Dragging && d->dragTo >= 0 ? d->dragTo + 1 : 0;
}

void ButtonStrip::leaveEvent(QEvent* event)
{
    if (d->hover >= 0) {
        d->hover = -1;
        update();
    }
    QWidget::leaveEvent(event);
}

void ButtonStrip::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange) {
        d->layout.forgetCaptionWidths();
        relayout();
    }
    QWidget::changeEvent(event);
}

bool ButtonStrip::event(QEvent* event)
{
    // A strip put away in the middle of a drag (the program ending) gives the keyboard
    // back at once.
    if (event->type() == QEvent::Hide && d->drag != Private::Drag::None) {
        stopDragging();
        d->pressed = -1;
    }
    if (event->type() == QEvent::FocusIn) {
        const bool used = QWidget::event(event);
        announceFocusMark();
        return used;
    }
    if (event->type() == QEvent::Show || event->type() == QEvent::ScreenChangeInternal) {
        if (d->layout.setScreen(screen()))
            relayout();
    }
    if (event->type() == QEvent::ToolTip) {
        const auto* help = static_cast<QHelpEvent*>(event);
        const int i = d->layout.hit(help->pos());
        QString tip = d->layout.clickable(i) ? d->layout.at(i).tip : QString();
        if (tip.size() > MaxTipChars)
            tip = tip.left(MaxTipChars) + QChar(0x2026);
        if (tip.isEmpty()) {
            QToolTip::hideText();
            event->ignore();
        } else {
            QToolTip::showText(help->globalPos(), tip, this, d->layout.pixelRect(d->layout.at(i).rect));
        }
        return true;
    }
    return QWidget::event(event);
}

void ButtonStrip::setDropTarget(std::function<int(QPointF)> target)
{
    d->dropTarget = std::move(target);
}

int ButtonStrip::highlighted() const
{
    return d->hover >= 0 ? d->hover + 1 : 0;
}

void ButtonStrip::dragEnterEvent(QDragEnterEvent* event)
{
    // Entering must be accepted for the moves to follow, even over a refusing spot:
    // each move then says whether the drop would be taken there. A drag of anything
    // but files is refused everywhere.
    if (!carriesItems(event->mimeData()))
        return;
    event->acceptProposedAction();
    emit dragEntered();
}

void ButtonStrip::dragMoveEvent(QDragMoveEvent* event)
{
    int target = d->dropTarget ? d->dropTarget(d->twipsOf(event->position())) : 0;
    if (!d->layout.clickable(target - 1))
        target = 0;
    const int hover = target > 0 ? target - 1 : -1;
    if (hover != d->hover) {
        d->hover = hover;
        update();
    }
    if (target > 0 && carriesItems(event->mimeData()))
        event->acceptProposedAction();
    else
        event->ignore();
}

void ButtonStrip::dragLeaveEvent(QDragLeaveEvent* event)
{
    if (d->hover >= 0) {
        d->hover = -1;
        update();
    }
    QWidget::dragLeaveEvent(event);
    emit dragLeft();
}

void ButtonStrip::dropEvent(QDropEvent* event)
{
    d->hover = -1;
    update();
    event->acceptProposedAction();
    // Emitted last: the handler may rebuild the buttons under us.
    emit dropped(event->mimeData(), d->twipsOf(event->position()));
}
