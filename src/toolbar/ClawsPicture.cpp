#include "toolbar/ClawsPicture.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>

namespace {

// The classic button numbers: 1 left, 2 right, 4 middle; a combination is their sum.
int buttonNumber(Qt::MouseButtons b)
{
    return (b & Qt::LeftButton ? 1 : 0) | (b & Qt::RightButton ? 2 : 0) | (b & Qt::MiddleButton ? 4 : 0);
}

} // namespace

ClawsPicture::ClawsPicture(QWidget* parent) : QWidget(parent)
{
    // Moves without a pressed button are the hover that unfolds an auto-hiding window.
    setMouseTracking(true);
    setAcceptDrops(true);
}

void ClawsPicture::setPicture(const QPixmap& picture)
{
    m_picture = picture;
    update();
}

void ClawsPicture::paintEvent(QPaintEvent*)
{
    if (m_picture.isNull())
        return;
    QPainter p(this);
    p.drawPixmap(QRect(0, 0, 16, 16), m_picture);
}

void ClawsPicture::mousePressEvent(QMouseEvent* event)
{
    event->accept();
    emit mouseDown(buttonNumber(event->button()), event->globalPosition());
}

void ClawsPicture::mouseMoveEvent(QMouseEvent* event)
{
    event->accept();
    emit mouseMove(buttonNumber(event->buttons()), event->globalPosition());
}

void ClawsPicture::mouseReleaseEvent(QMouseEvent* event)
{
    event->accept();
    emit mouseUp(buttonNumber(event->button()), event->globalPosition());
}

void ClawsPicture::mouseDoubleClickEvent(QMouseEvent* event)
{
    event->accept();
    // The second press of a left double click is the double click alone; any other
    // button's second press is an ordinary press (a right one opens the menu again).
    if (event->button() == Qt::LeftButton)
        emit doubleClicked();
    else
        emit mouseDown(buttonNumber(event->button()), event->globalPosition());
}

void ClawsPicture::dragEnterEvent(QDragEnterEvent* event)
{
    if (event->mimeData()->hasUrls())
        event->acceptProposedAction();
}

void ClawsPicture::dropEvent(QDropEvent* event)
{
    event->acceptProposedAction();
    emit dropped(event->mimeData());
}
