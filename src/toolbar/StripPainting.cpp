#include "toolbar/StripPainting.h"

#include "toolbar/ImageList.h"
#include "toolbar/StripLayout.h"

#include <QIcon>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionToolButton>
#include <QWidget>

namespace {

// A button's picture, whatever size the button takes for its caption.
constexpr int PictureSide = 16;

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

void paintButton(QPainter& p, const QWidget& strip, const StripLayout& layout, const ImageList* images,
                 const StripMarks& marks, int i, bool captions)
{
    const StripLayout::Button& b = layout.at(i);
    const QRect r = layout.pixelRect(b.rect);
    QStyleOptionToolButton opt;
    opt.initFrom(&strip);
    opt.rect = r;
    opt.subControls = QStyle::SC_ToolButton;
    opt.features = QStyleOptionToolButton::None;
    opt.arrowType = Qt::NoArrow;
    opt.iconSize = QSize(PictureSide, PictureSide);
    opt.state = (opt.state & ~(QStyle::State_MouseOver | QStyle::State_HasFocus)) | QStyle::State_AutoRaise;
    const bool dragged = marks.dragged == i;
    // The keyboard's button looks raised, as under the mouse, and is framed.
    const bool focused = marks.focus == i;
    const bool hovered = marks.hover == i || dragged || focused;
    const bool down = (hovered && marks.pressed == i) || dragged;
    if (hovered)
        opt.state |= QStyle::State_MouseOver | QStyle::State_Raised;
    if (down) {
        opt.state |= QStyle::State_Sunken;
        opt.activeSubControls = QStyle::SC_ToolButton;
    }
    const QPixmap picture = images ? images->picture(b.image) : QPixmap();
    if (!picture.isNull())
        opt.icon = QIcon(picture);
    if (captions && !b.caption.isEmpty()) {
        opt.text = b.shown;
        opt.toolButtonStyle = Qt::ToolButtonTextUnderIcon;
    } else {
        opt.toolButtonStyle = Qt::ToolButtonIconOnly;
    }

    QStyle* st = strip.style();
    if (hovered)
        st->drawPrimitive(QStyle::PE_PanelButtonTool, &opt, &p, &strip);
    st->drawControl(QStyle::CE_ToolButtonLabel, &opt, &p, &strip);
    if (focused) {
        // Many styles draw a tool button's focus frame faintly or not at all; the
        // keyboard's place must show at a glance, in the theme's selection colour.
        p.save();
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QPen(strip.palette().color(QPalette::Active, QPalette::Highlight), 2));
        p.setBrush(Qt::NoBrush);
        p.drawRoundedRect(QRectF(r).adjusted(1.5, 1.5, -0.5, -0.5), 3, 3);
        p.restore();
    }
}

// Where the dragged button would land: a bar after the button under the mouse when it
// moves on, before it when it moves back, as the buttons between make room.
void paintLanding(QPainter& p, const QWidget& strip, const StripLayout& layout, const StripMarks& marks)
{
    const QRect from = layout.pixelRect(layout.at(marks.dragged).rect);
    const QRect to = layout.pixelRect(layout.at(marks.dragTo).rect);
    const bool onward = marks.dragTo > marks.dragged;
    const bool column = to.left() == from.left() && to.top() != from.top();
    const int thick = 2;
    const QRect mark = column ? QRect(to.left(), onward ? to.bottom() - thick + 1 : to.top(), to.width(), thick)
                              : QRect(onward ? to.right() - thick + 1 : to.left(), to.top(), thick, to.height());
    p.fillRect(mark, strip.palette().color(QPalette::Highlight));
}

} // namespace

void paintStrip(QPainter& p, const QWidget& strip, const StripLayout& layout, const ImageList* images,
                const StripMarks& marks, const QRect& exposed)
{
    const bool captions = layout.showsCaptions();
    for (int i = ButtonStrip::FixedButtons; i < layout.count(); ++i) {
        const QRect r = layout.pixelRect(layout.at(i).rect);
        if (!r.intersects(exposed))
            continue;
        if (layout.at(i).style == ButtonStrip::Style::Gap)
            paintSeparator(p, r, strip.palette());
        else
            paintButton(p, strip, layout, images, marks, i, captions);
    }
    if (layout.valid(marks.dragged) && marks.dragTo >= ButtonStrip::FixedButtons && layout.valid(marks.dragTo)
        && marks.dragTo != marks.dragged)
        paintLanding(p, strip, layout, marks);
}
