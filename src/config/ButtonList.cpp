#include "config/ButtonList.h"

#include "store/TbrRec.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyle>

#include <algorithm>

namespace {

const QString Separator(11, QChar(0x2014));

QString lineFor(const BtnRec& b)
{
    if (b.Kind == KindSeparator)
        return Separator;
    const QString target = QString::fromLocal8Bit(b.Executable).trimmed();
    if (target.isEmpty())
        return {};
    const QString name = QString::fromLocal8Bit(b.Name);
    if (!name.trimmed().isEmpty())
        return name;
    // A button without a name (a file written by hand, an older set) still shows on its
    // toolbar, so it gets a line too, under its target's file name: without one it could
    // not be edited, deleted or moved, and the lines would stop matching the buttons.
    QString file = target;
    while (file.size() > 1 && file.endsWith(QLatin1Char('/')))
        file.chop(1);
    file = file.mid(file.lastIndexOf(QLatin1Char('/')) + 1);
    return file.isEmpty() ? target : file;
}

} // namespace

ButtonList::ButtonList(QWidget* parent) : QListWidget(parent)
{
    // The list's own drag and drop would reorder the lines itself, behind the buttons'
    // back; a drag here moves buttons through the owner instead.
    setDragEnabled(false);
    setDragDropMode(QAbstractItemView::NoDragDrop);
}

void ButtonList::addButtonLines(const TbrRec& tbr)
{
    for (int k = 1; k <= tbr.BtnCount && k <= MaxButtons; ++k) {
        const QString line = lineFor(tbr.Btns[k]);
        if (line.isEmpty())
            continue;
        auto* item = new QListWidgetItem(line, this);
        item->setData(Qt::UserRole, k);
        // A separator's line is drawn as dashes, which a screen reader would read out one
        // by one; its item says what it is.
        if (line == Separator)
            item->setData(Qt::AccessibleTextRole, QStringLiteral("Separator"));
    }
}

int ButtonList::recordAt(int row) const
{
    const QListWidgetItem* line = item(row);
    return line ? line->data(Qt::UserRole).toInt() : 0;
}

int ButtonList::rowOf(int k) const
{
    for (int row = 0; row < count(); ++row)
        if (item(row)->data(Qt::UserRole).toInt() == k)
            return row;
    return -1;
}

std::optional<int> ButtonList::selectedRecord() const
{
    const QListWidgetItem* line = currentItem();
    if (!line || !line->isSelected())
        return std::nullopt;
    bool ok = false;
    const int k = line->data(Qt::UserRole).toInt(&ok);
    if (!ok)
        return std::nullopt;
    return k;
}

int ButtonList::separatorWidth() const
{
    // The line, the margins an item keeps around its text, the scroll bar and the frame.
    const int textMargin = style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, this) + 1;
    return fontMetrics().horizontalAdvance(Separator) + 2 * textMargin
         + style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this) + 2 * frameWidth();
}

int ButtonList::rowAt(QPoint at)
{
    if (count() == 0)
        return -1;
    // Beyond the top or the foot the list scrolls a line at each move, so a line far
    // away can be reached.
    if (at.y() < 0)
        verticalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepSub);
    else if (at.y() >= viewport()->height())
        verticalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    const int y = std::clamp(at.y(), 0, std::max(0, viewport()->height() - 1));
    for (int row = 0; row < count(); ++row) {
        const QRect r = visualItemRect(item(row));
        if (y < r.top())
            return row; // in the room above it
        if (y <= r.bottom())
            return row;
    }
    return count() - 1; // under the last line
}

void ButtonList::stop(Drag then)
{
    if (m_drag == Drag::Dragging)
        viewport()->unsetCursor();
    m_drag = then;
    m_from = m_to = -1;
    viewport()->update();
}

void ButtonList::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        // Another button ends a drag: the line stays where it was.
        if (m_drag == Drag::Armed || m_drag == Drag::Dragging) {
            stop(Drag::Cancelled);
            return;
        }
        QListWidget::mousePressEvent(event);
        return;
    }
    // The press selects the line as ever; it may become a drag of it.
    QListWidget::mousePressEvent(event);
    const QListWidgetItem* pressed = itemAt(event->position().toPoint());
    m_drag = pressed ? Drag::Armed : Drag::None;
    m_from = pressed ? row(pressed) : -1;
    m_to = m_from;
    m_pressedAt = event->position().toPoint();
}

void ButtonList::mouseMoveEvent(QMouseEvent* event)
{
    if (m_drag != Drag::None && !(event->buttons() & Qt::LeftButton))
        stop(Drag::None); // the release went elsewhere
    const QPoint at = event->position().toPoint();
    if (m_drag == Drag::Armed && (at - m_pressedAt).manhattanLength() >= QApplication::startDragDistance()) {
        m_drag = Drag::Dragging;
        viewport()->setCursor(Qt::ClosedHandCursor);
    }
    if (m_drag == Drag::Dragging) {
        const int to = rowAt(at);
        if (to != m_to) {
            m_to = to;
            viewport()->update();
        }
    }
    // While the left button holds a line, the mouse selects no other.
    if (m_drag == Drag::None)
        QListWidget::mouseMoveEvent(event);
}

void ButtonList::mouseReleaseEvent(QMouseEvent* event)
{
    const bool dragged = event->button() == Qt::LeftButton && m_drag == Drag::Dragging && m_to >= 0 && m_to != m_from;
    const int from = m_from;
    const int to = m_to;
    if (event->button() == Qt::LeftButton)
        stop(Drag::None);
    QListWidget::mouseReleaseEvent(event);
    // Emitted last: the owner fills the list again.
    if (dragged)
        emit lineDragged(from, to);
}

void ButtonList::keyPressEvent(QKeyEvent* event)
{
    if (m_drag == Drag::Dragging && event->key() == Qt::Key_Escape) {
        // Taken here: the window would put itself away.
        stop(Drag::Cancelled);
        return;
    }
    QListWidget::keyPressEvent(event);
}

void ButtonList::paintEvent(QPaintEvent* event)
{
    QListWidget::paintEvent(event);
    if (m_drag != Drag::Dragging || m_to < 0 || m_to == m_from)
        return;
    // A bar on the far side of the line the dragged one takes the place of: under it
    // going down, over it going up.
    const QRect r = visualItemRect(item(m_to));
    const int thick = 2;
    const int y = m_to > m_from ? r.bottom() - thick + 1 : r.top();
    QPainter(viewport()).fillRect(QRect(r.left(), y, viewport()->width() - r.left(), thick),
                                  palette().color(QPalette::Highlight));
}
