#include "editors/IconCell.h"

#include <QMouseEvent>
#include <QPainter>

IconCell::IconCell(QWidget* parent)
    : QFrame(parent)
{
    setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    setFixedSize(Side, Side);
}

void IconCell::setPicture(const QImage& picture)
{
    m_picture = picture;
    update();
}

void IconCell::setHighlighted(bool on)
{
    m_highlighted = on;
    update();
}

void IconCell::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    // The selection colour as an enabled window shows it: the middle cell is disabled
    // while the file has no icons, and must not turn grey for it.
    painter.fillRect(contentsRect(), m_highlighted ? palette().color(QPalette::Active, QPalette::Highlight)
                                                   : palette().color(QPalette::Button));
    if (!m_picture.isNull()) {
        // At its own size, up to what the cell holds, centred; a picture drawn for a
        // scaled screen lands on its pixels one to one.
        const QRect box = contentsRect().adjusted(2, 2, -2, -2);
        QSizeF size = m_picture.deviceIndependentSize();
        if (size.width() > box.width() || size.height() > box.height())
            size.scale(box.size(), Qt::KeepAspectRatio);
        const QRectF target(box.x() + (box.width() - size.width()) / 2, box.y() + (box.height() - size.height()) / 2,
                            size.width(), size.height());
        painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
        painter.drawImage(target, m_picture);
    }
    painter.end();
    QFrame::paintEvent(event);
}

void IconCell::mousePressEvent(QMouseEvent* event)
{
    m_pressed = event->button() == Qt::LeftButton;
    QFrame::mousePressEvent(event);
}

void IconCell::mouseReleaseEvent(QMouseEvent* event)
{
    // A click is a press and a release of the left button on the cell.
    const bool click = m_pressed && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
    m_pressed = false;
    QFrame::mouseReleaseEvent(event);
    if (click)
        emit clicked();
}
