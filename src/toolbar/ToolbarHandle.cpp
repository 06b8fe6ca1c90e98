#include "toolbar/ToolbarHandle.h"

#include "platform/DropItems.h"
#include "toolbar/BuiltinPictures.h"
#include "toolbar/HandleAccessible.h"

#include <QDragEnterEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>

ToolbarHandle::ToolbarHandle(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("Claws"));
    // Moves without a pressed button are the hover that unfolds an auto-hiding window.
    setMouseTracking(true);
    setAcceptDrops(true);
    HandleAccessible::install();
}

void ToolbarHandle::setPicture(const QPixmap& picture)
{
    m_picture = picture;
    update();
}

void ToolbarHandle::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    // The claws are drawn here, in this palette's colours, rather than kept as a picture:
    // they follow the theme, and a change of it, like the rest of the window.
    if (m_picture.isNull()) {
        paintClaws(p, clawsInk(palette()));
        return;
    }
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.drawPixmap(QRect(0, 0, 16, 16), m_picture);
}

void ToolbarHandle::press(Qt::MouseButton button, QPointF global)
{
    if (button == Qt::RightButton) {
        m_dragging = false;
    } else if (button == Qt::LeftButton && m_toTwips && (!m_movable || m_movable())) {
        // While the button is held, Qt sends every move and the release to the handle
        // wherever the mouse goes, so no explicit capture is taken.
        const QPointF at = m_toTwips(global);
        m_grab = QPointF(float(at.x()), float(at.y()));
        m_dragging = true;
        emit dragStarted();
    }
    emit pressed(button, global);
}

void ToolbarHandle::mousePressEvent(QMouseEvent* event)
{
    event->accept();
    press(event->button(), event->globalPosition());
}

void ToolbarHandle::mouseMoveEvent(QMouseEvent* event)
{
    event->accept();
    if (m_dragging && m_toTwips)
        emit dragged(m_toTwips(event->globalPosition()));
    emit moved(event->buttons(), event->globalPosition());
}

void ToolbarHandle::mouseReleaseEvent(QMouseEvent* event)
{
    event->accept();
    m_dragging = false;
    emit released(event->button(), event->globalPosition());
}

void ToolbarHandle::mouseDoubleClickEvent(QMouseEvent* event)
{
    event->accept();
    // The second press of a left double click is the double click alone; any other
    // button's second press is an ordinary press (a right one opens the menu again).
    if (event->button() == Qt::LeftButton)
        emit doubleClicked();
    else
        press(event->button(), event->globalPosition());
}

void ToolbarHandle::dragEnterEvent(QDragEnterEvent* event)
{
    // Anything but files is refused here, so the cursor says so before the drop; so is
    // everything while a drop cannot be taken.
    if (!carriesItems(event->mimeData()) || !dropsAllowed())
        return;
    event->acceptProposedAction();
    emit dragEntered();
}

void ToolbarHandle::dragMoveEvent(QDragMoveEvent* event)
{
    // Said again at each move: left to Qt, a move may carry over the refusal of the
    // widget the drag came from.
    if (carriesItems(event->mimeData()) && dropsAllowed())
        event->acceptProposedAction();
    else
        event->ignore();
}

void ToolbarHandle::dropEvent(QDropEvent* event)
{
    // The editor may have opened while the drag was on its way.
    if (!dropsAllowed()) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
    emit dropped(event->mimeData());
}
