#include "toolbar/ButtonStrip.h"

#include "platform/DropItems.h"
#include "platform/Pointer.h"
#include "toolbar/ImageList.h"
#include "toolbar/StripAccessible.h"

#include <QAccessible>
#include <QApplication>
#include <QDragEnterEvent>
#include <QDragLeaveEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QHelpEvent>
#include <QIcon>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionToolButton>
#include <QToolTip>

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

// The two fixed buttons: a blank wide enough for the drag handle above it (45 + 255
// twips, with a margin), then an ordinary gap.
constexpr float HandleBlankTwips = ButtonStrip::FixedTwips - ButtonStrip::GapTwips;

// A 16x16 picture in a button of 23 x 22 pixels, as the platform toolbars draw it.
constexpr int PictureSide = 16;
constexpr int PlainWidthPx = 23;
constexpr int PlainHeightPx = 22;
// With a caption: the picture on top, the text under it.
constexpr int CaptionPaddingPx = 8;    // left + right of the text
constexpr int CaptionSpacingPx = 2;    // between picture and text
// A caption shows at most this wide and is elided past it: every button takes the width
// of the longest caption, so one long name would otherwise make the whole bar as wide
// as the name (a million characters are millions of twips, and take seconds to measure).
constexpr int MaxCaptionPx = 200;
// Only this much of a caption is ever measured; more could never fit in MaxCaptionPx.
constexpr qsizetype MaxCaptionChars = 200;
constexpr qsizetype MaxTipChars = 500;

double sanePerPixel(double twips)
{
    return twips > 0.0 && std::isfinite(twips) ? twips : 15.0;
}

} // namespace

struct ButtonStrip::Private {
    struct Button {
        Style style = Style::Normal;
        int image = 0;
        QString caption;
        QString shown;      // the caption as painted: elided to MaxCaptionPx
        QString tip;
        int captionPx = -1; // cached width of shown; -1 until measured
        QRectF rect;        // twips
    };

    explicit Private(const Pointer& m) : metrics(m) { }

    const Pointer& metrics;
    const ImageList* images = nullptr;
    std::vector<Button> buttons;
    bool wrap = false;
    bool captions = false;
    bool widthSet = false;
    float width = 0.0f;  // twips, as set or as the content needs
    float height = 0.0f; // twips, from the layout
    float bw = 0.0f;
    float bh = 0.0f;
    int hover = -1;   // index into buttons
    int pressed = -1; // index into buttons
    int focus = -1;   // index into buttons: the keyboard's button
    std::function<int(QPointF)> dropTarget;

    // A left press on a normal button is Armed until the mouse goes the drag distance
    // (a click when let go before), then Dragging; Escape or another button makes it
    // Cancelled until the left button is let go.
    enum class Drag { None, Armed, Dragging, Cancelled };
    Drag drag = Drag::None;
    QPoint pressedAt;  // pixels
    int dragged = -1;  // index into buttons
    int dragTo = -1;   // index into buttons; -1: let go here, it stays

    // The screen the strip is on, taken when it is shown or moves; none before: the
    // primary one. Asked only then, since asking costs more than a whole layout.
    const QScreen* screen = nullptr;
    double tppX() const { return sanePerPixel(metrics.twipsPerPixelX(screen)); }
    double tppY() const { return sanePerPixel(metrics.twipsPerPixelY(screen)); }

    bool showsCaptions() const
    {
        return captions && std::any_of(buttons.begin(), buttons.end(), [](const Button& b) {
                   return b.style == Style::Normal && !b.caption.isEmpty();
               });
    }

    bool valid(int position) const { return position >= 1 && position <= static_cast<int>(buttons.size()); }
    bool clickable(int index) const
    {
        return index >= FixedButtons && index < static_cast<int>(buttons.size())
            && buttons[static_cast<std::size_t>(index)].style == Style::Normal;
    }

    void measure(const QFontMetrics& fm);
    void layout();
    QRect pixelRect(const QRectF& twips) const;
    int hit(const QPoint& px) const;
    int dragTargetAt(const QPoint& px, const QSize& size) const;
};

void ButtonStrip::Private::measure(const QFontMetrics& fm)
{
    int wPx = PlainWidthPx;
    int hPx = PlainHeightPx;
    if (showsCaptions()) {
        int text = 0;
        for (Button& b : buttons) {
            if (b.style != Style::Normal || b.caption.isEmpty())
                continue;
            if (b.captionPx < 0) {
                // Most captions fit: measured once, and elided (shaped again) only when not.
                const int whole = b.caption.size() <= MaxCaptionChars ? fm.horizontalAdvance(b.caption) : -1;
                if (whole >= 0 && whole <= MaxCaptionPx) {
                    b.shown = b.caption;
                    b.captionPx = whole;
                } else {
                    b.shown = fm.elidedText(b.caption.left(MaxCaptionChars), Qt::ElideRight, MaxCaptionPx);
                    if (b.shown.size() < b.caption.size() && !b.shown.endsWith(QChar(0x2026)))
                        b.shown = fm.elidedText(b.shown + QChar(0x2026), Qt::ElideRight, MaxCaptionPx);
                    b.captionPx = std::min(fm.horizontalAdvance(b.shown), MaxCaptionPx);
                }
            }
            text = std::max(text, b.captionPx);
        }
        wPx = std::max(wPx, text + CaptionPaddingPx);
        hPx = PlainHeightPx + CaptionSpacingPx + fm.height();
    }
    bw = static_cast<float>(wPx * tppX());
    bh = static_cast<float>(hPx * tppY());
}

// Positions are computed from counts (normal buttons and gaps before an item) rather
// than by adding up extents one by one, so that the totals come out exactly as
// BW * m + 120 * s + 470 in single precision, the sum the window's size relies on.
void ButtonStrip::Private::layout()
{
    const float naturalWidth = [&] {
        int m = 0, s = 0;
        for (std::size_t i = FixedButtons; i < buttons.size(); ++i)
            (buttons[i].style == Style::Gap ? s : m) += 1;
        return bw * static_cast<float>(m) + GapTwips * static_cast<float>(s) + FixedTwips;
    }();
    if (!widthSet)
        width = naturalWidth;

    const auto extentAlong = [&](std::size_t i) {
        if (i == 0)
            return HandleBlankTwips;
        return buttons[i].style == Style::Gap || i == 1 ? GapTwips : bw;
    };

    // One column when a row cannot hold two buttons side by side.
    const bool column = wrap && width < 2.0f * bw;
    if (column) {
        int m = 0, s = 0;
        float y = 0.0f;
        for (std::size_t i = 0; i < buttons.size(); ++i) {
            if (i >= FixedButtons)
                y = bh * static_cast<float>(m) + GapTwips * static_cast<float>(s) + FixedTwips;
            const float h = i == 0 ? HandleBlankTwips : (i == 1 || buttons[i].style == Style::Gap) ? GapTwips : bh;
            buttons[i].rect = QRectF(0.0, y, bw, h);
            if (i < FixedButtons)
                y += h;
            else
                (buttons[i].style == Style::Gap ? s : m) += 1;
        }
        height = bh * static_cast<float>(m) + GapTwips * static_cast<float>(s) + FixedTwips;
        return;
    }

    int m = 0, s = 0;      // counted along the current row
    float rowStart = 0.0f; // twips of the fixed buttons on the first row
    int row = 0;
    float x = 0.0f;
    for (std::size_t i = 0; i < buttons.size(); ++i) {
        const float w = extentAlong(i);
        if (i >= FixedButtons)
            x = rowStart + bw * static_cast<float>(m) + GapTwips * static_cast<float>(s);
        if (wrap && x > 0.0f && x + w > width) {
            ++row;
            rowStart = 0.0f;
            m = s = 0;
            x = 0.0f;
        }
        buttons[i].rect = QRectF(x, bh * static_cast<float>(row), w, bh);
        if (i < FixedButtons) {
            x += w;
            rowStart = x;
        } else {
            (buttons[i].style == Style::Gap ? s : m) += 1;
        }
    }
    height = bh * static_cast<float>(row + 1);
}

QRect ButtonStrip::Private::pixelRect(const QRectF& t) const
{
    const double x = tppX(), y = tppY();
    const int left = static_cast<int>(std::lround(t.left() / x));
    const int top = static_cast<int>(std::lround(t.top() / y));
    const int right = static_cast<int>(std::lround(t.right() / x));
    const int bottom = static_cast<int>(std::lround(t.bottom() / y));
    return QRect(QPoint(left, top), QPoint(right - 1, bottom - 1));
}

int ButtonStrip::Private::hit(const QPoint& px) const
{
    for (std::size_t i = 0; i < buttons.size(); ++i)
        if (pixelRect(buttons[i].rect).contains(px))
            return static_cast<int>(i);
    return -1;
}

// Where a dragged button goes when let go at px: the place under the mouse. A little to
// the side of the bar still counts; before the first button is the first place and past
// the last the last. Further off than a button's size, it stays where it is.
int ButtonStrip::Private::dragTargetAt(const QPoint& px, const QSize& size) const
{
    if (buttons.size() <= FixedButtons || size.isEmpty())
        return -1;
    const QRect button = pixelRect(QRectF(0.0, 0.0, bw, bh));
    const QRect near = QRect(QPoint(), size).adjusted(-button.width(), -button.height(), button.width(), button.height());
    if (!near.contains(px))
        return -1;
    const QPoint inside(std::clamp(px.x(), 0, size.width() - 1), std::clamp(px.y(), 0, size.height() - 1));
    const int i = hit(inside);
    if (i < 0)
        return static_cast<int>(buttons.size()) - 1; // the room after the last button
    return std::max(i, FixedButtons);
}

ButtonStrip::ButtonStrip(const Pointer& metrics, QWidget* parent) : QWidget(parent), d(std::make_unique<Private>(metrics))
{
    setMouseTracking(true);
    setAcceptDrops(true);
    setAttribute(Qt::WA_Hover, false); // hover is tracked per button, not per widget
    // Reached by the keyboard, never by a click: a click starts a program, which takes
    // the focus anyway, and a mark left behind would only be clutter.
    setFocusPolicy(Qt::TabFocus);
    d->buttons.resize(FixedButtons);
    d->buttons[1].style = Style::Gap;
    relayout();
    StripAccessible::install();
}

ButtonStrip::~ButtonStrip() = default;

int ButtonStrip::buttonCount() const
{
    return static_cast<int>(d->buttons.size());
}

void ButtonStrip::addButton(int position, Style style, int imagePosition)
{
    position = std::clamp(position, FixedButtons + 1, buttonCount() + 1);
    Private::Button b;
    b.style = style;
    b.image = style == Style::Gap ? 0 : imagePosition;
    stopDragging();
    d->buttons.insert(d->buttons.begin() + (position - 1), std::move(b));
    d->hover = d->pressed = -1;
    relayout();
}

void ButtonStrip::removeButton(int position)
{
    if (position <= FixedButtons || position > buttonCount())
        return;
    stopDragging();
    d->buttons.erase(d->buttons.begin() + (position - 1));
    d->hover = d->pressed = -1;
    relayout();
}

ButtonStrip::Style ButtonStrip::style(int position) const
{
    return d->valid(position) ? d->buttons[static_cast<std::size_t>(position - 1)].style : Style::Gap;
}

void ButtonStrip::setCaption(int position, const QString& caption)
{
    if (!d->valid(position) || position <= FixedButtons)
        return;
    auto& b = d->buttons[static_cast<std::size_t>(position - 1)];
    if (b.caption == caption)
        return;
    b.caption = caption;
    b.captionPx = -1;
    if (d->captions)
        relayout();
}

QString ButtonStrip::caption(int position) const
{
    return d->valid(position) ? d->buttons[static_cast<std::size_t>(position - 1)].caption : QString();
}

void ButtonStrip::setToolTipText(int position, const QString& text)
{
    if (d->valid(position) && position > FixedButtons)
        d->buttons[static_cast<std::size_t>(position - 1)].tip = text;
}

QString ButtonStrip::toolTipText(int position) const
{
    return d->valid(position) ? d->buttons[static_cast<std::size_t>(position - 1)].tip : QString();
}

QRectF ButtonStrip::buttonRect(int position) const
{
    return d->valid(position) ? d->buttons[static_cast<std::size_t>(position - 1)].rect : QRectF();
}

QRect ButtonStrip::buttonPixelRect(int position) const
{
    return d->valid(position) ? d->pixelRect(d->buttons[static_cast<std::size_t>(position - 1)].rect) : QRect();
}

void ButtonStrip::press(int position)
{
    if (position > FixedButtons && style(position) == Style::Normal)
        emit buttonClicked(position);
}

int ButtonStrip::focusMark() const
{
    return d->clickable(d->focus) ? d->focus + 1 : 0;
}

void ButtonStrip::setFocusMark(int position)
{
    const int focus = d->clickable(position - 1) ? position - 1 : -1;
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
    return d->bw;
}

float ButtonStrip::buttonHeight() const
{
    return d->bh;
}

void ButtonStrip::setWrappable(bool wrap)
{
    if (d->wrap == wrap)
        return;
    d->wrap = wrap;
    relayout();
}

float ButtonStrip::widthTwips() const
{
    return d->width;
}

float ButtonStrip::heightTwips() const
{
    return d->height;
}

void ButtonStrip::setWidthTwips(float width)
{
    if (!std::isfinite(width) || width < 0.0f)
        width = 0.0f;
    d->widthSet = true;
    d->width = width;
    relayout();
}

void ButtonStrip::setCaptionsShown(bool shown)
{
    if (d->captions == shown)
        return;
    d->captions = shown;
    relayout();
}

void ButtonStrip::setImageList(const ImageList* images)
{
    d->images = images;
    update();
}

void ButtonStrip::relayout()
{
    d->measure(fontMetrics());
    d->layout();
    const QSize px(static_cast<int>(std::lround(d->width / d->tppX())),
                   static_cast<int>(std::lround(d->height / d->tppY())));
    if (size() != px)
        resize(px);
    update();
    // Screen readers hold on to the buttons they were shown; they look again when told.
    if (QAccessible::isActive()) {
        QAccessibleEvent changed(this, QAccessible::ObjectReorder);
        QAccessible::updateAccessibility(&changed);
    }
}

namespace {

// A gap shows a thin line across the bar, as flat toolbars mark their groups. Its colour
// lies halfway between the window's and its text's, so it shows on a light theme and on
// a dark one and stays quieter than the buttons' pictures.
void paintSeparator(QPainter& p, const QRect& gap, const QPalette& palette)
{
    const QColor text = palette.color(QPalette::Active, QPalette::WindowText);
    const QColor window = palette.color(QPalette::Active, QPalette::Window);
    const QColor ink((text.red() + window.red()) / 2, (text.green() + window.green()) / 2,
                     (text.blue() + window.blue()) / 2);
    if (gap.width() <= gap.height()) { // between buttons side by side
        const int inset = gap.height() / 6;
        p.fillRect(gap.left() + gap.width() / 2, gap.top() + inset, 1, gap.height() - 2 * inset, ink);
    } else { // between buttons one above the other
        const int inset = gap.width() / 6;
        p.fillRect(gap.left() + inset, gap.top() + gap.height() / 2, gap.width() - 2 * inset, 1, ink);
    }
}

} // namespace

void ButtonStrip::paintEvent(QPaintEvent* event)
{
    QPainter p(this);
    const bool captions = d->showsCaptions();
    QStyle* st = QWidget::style();
    for (std::size_t i = FixedButtons; i < d->buttons.size(); ++i) {
        const auto& b = d->buttons[i];
        const QRect r = d->pixelRect(b.rect);
        if (!r.intersects(event->rect()))
            continue;
        if (b.style == Style::Gap) {
            paintSeparator(p, r, palette());
            continue;
        }

        QStyleOptionToolButton opt;
        opt.initFrom(this);
        opt.rect = r;
        opt.subControls = QStyle::SC_ToolButton;
        opt.features = QStyleOptionToolButton::None;
        opt.arrowType = Qt::NoArrow;
        opt.iconSize = QSize(PictureSide, PictureSide);
        opt.state = (opt.state & ~(QStyle::State_MouseOver | QStyle::State_HasFocus)) | QStyle::State_AutoRaise;
        const bool dragged = d->drag == Private::Drag::Dragging && d->dragged == static_cast<int>(i);
        // The keyboard's button looks raised, as under the mouse, and is framed.
        const bool focused = d->focus == static_cast<int>(i) && hasFocus();
        const bool hovered = d->hover == static_cast<int>(i) || dragged || focused;
        const bool down = (hovered && d->pressed == static_cast<int>(i)) || dragged;
        if (hovered)
            opt.state |= QStyle::State_MouseOver | QStyle::State_Raised;
        if (down) {
            opt.state |= QStyle::State_Sunken;
            opt.activeSubControls = QStyle::SC_ToolButton;
        }
        const QPixmap picture = d->images ? d->images->picture(b.image) : QPixmap();
        if (!picture.isNull())
            opt.icon = QIcon(picture);
        if (captions && !b.caption.isEmpty()) {
            opt.text = b.shown;
            opt.toolButtonStyle = Qt::ToolButtonTextUnderIcon;
        } else {
            opt.toolButtonStyle = Qt::ToolButtonIconOnly;
        }

        if (hovered)
            st->drawPrimitive(QStyle::PE_PanelButtonTool, &opt, &p, this);
        st->drawControl(QStyle::CE_ToolButtonLabel, &opt, &p, this);
        if (focused) {
            // Many styles draw a tool button's focus frame faintly or not at all; the
            // keyboard's place must show at a glance, in the theme's selection colour.
            p.save();
            p.setRenderHint(QPainter::Antialiasing);
            p.setPen(QPen(palette().color(QPalette::Active, QPalette::Highlight), 2));
            p.setBrush(Qt::NoBrush);
            p.drawRoundedRect(QRectF(r).adjusted(1.5, 1.5, -0.5, -0.5), 3, 3);
            p.restore();
        }
    }

    // Where the dragged button would land: a bar after the button under the mouse when
    // it moves on, before it when it moves back, as the buttons between make room.
    if (d->drag == Private::Drag::Dragging && d->dragTo >= FixedButtons && d->dragTo != d->dragged) {
        const QRect from = d->pixelRect(d->buttons[static_cast<std::size_t>(d->dragged)].rect);
        const QRect to = d->pixelRect(d->buttons[static_cast<std::size_t>(d->dragTo)].rect);
        const bool onward = d->dragTo > d->dragged;
        const bool column = to.left() == from.left() && to.top() != from.top();
        const int thick = 2;
        const QRect mark = column ? QRect(to.left(), onward ? to.bottom() - thick + 1 : to.top(), to.width(), thick)
                                  : QRect(onward ? to.right() - thick + 1 : to.left(), to.top(), thick, to.height());
        p.fillRect(mark, palette().color(QPalette::Highlight));
    }
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
        const int i = d->hit(at);
        if (i >= FixedButtons)
            emit menuRequested(i + 1, event->globalPosition().toPoint());
        return;
    }
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    const int i = d->hit(at);
    d->hover = i;
    d->pressed = d->clickable(i) ? i : -1;
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
        const int to = d->dragTargetAt(at, size());
        if (to != d->dragTo) {
            d->dragTo = to;
            update();
        }
        setCursor(to >= 0 ? Qt::ClosedHandCursor : Qt::ForbiddenCursor);
        return;
    }
    if (d->drag == Private::Drag::Cancelled)
        return;
    const int i = d->hit(at);
    const int hover = d->clickable(i) ? i : -1;
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
    const int over = d->hit(event->position().toPoint());
    d->pressed = -1;
    update();
    // Emitted last: the handler may rebuild the buttons under us.
    if (pressed >= 0 && pressed == over && d->clickable(pressed))
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
        for (auto& b : d->buttons)
            b.captionPx = -1;
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
        if (const QScreen* now = screen(); now != d->screen) {
            d->screen = now;
            relayout();
        }
    }
    if (event->type() == QEvent::ToolTip) {
        const auto* help = static_cast<QHelpEvent*>(event);
        const int i = d->hit(help->pos());
        QString tip = d->clickable(i) ? d->buttons[static_cast<std::size_t>(i)].tip : QString();
        // A tooltip is laid out whole before it shows: a name of a million characters would
        // hold the program up for seconds.
        if (tip.size() > MaxTipChars)
            tip = tip.left(MaxTipChars) + QChar(0x2026);
        if (tip.isEmpty()) {
            QToolTip::hideText();
            event->ignore();
        } else {
            QToolTip::showText(help->globalPos(), tip, this, d->pixelRect(d->buttons[static_cast<std::size_t>(i)].rect));
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
    const QPointF px = event->position();
    int target = d->dropTarget ? d->dropTarget(QPointF(px.x() * d->tppX(), px.y() * d->tppY())) : 0;
    if (!d->clickable(target - 1))
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
    const QPointF px = event->position();
    d->hover = -1;
    update();
    event->acceptProposedAction();
    // Emitted last: the handler may rebuild the buttons under us.
    emit dropped(event->mimeData(), QPointF(px.x() * d->tppX(), px.y() * d->tppY()));
}
