#pragma once

#include <QPixmap>
#include <QWidget>

#include <functional>

class QMimeData;

// The drag handle of a toolbar window: a 16x16 picture (the toolbar's icon or the claws)
// that reports the mouse and file drops to its window.
class ToolbarHandle : public QWidget {
    Q_OBJECT
public:
    explicit ToolbarHandle(QWidget* parent = nullptr);

    // Shown at 16x16 logical pixels; a picture with a device pixel ratio stays sharp. A
    // null picture shows the claws, in the handle's palette.
    void setPicture(const QPixmap& picture);
    const QPixmap& picture() const { return m_picture; }
    // Asks for the toolbar's popup menu, as a right click on the handle does; for
    // assistive tools, which press rather than click.
    void requestMenu() { emit menuRequested(); }
    // Asked at each step of a drag of files: false refuses it (the cursor says no).
    void setDropsAllowed(std::function<bool()> allowed) { m_dropsAllowed = std::move(allowed); }

    // Dragging the window by its handle. A left press takes hold where the mapping puts
    // the pointer (twips from the handle's corner, from the window's own place, so a drag
    // never depends on when the window system catches up), if the window may move at all.
    void setDragMapping(std::function<QPointF(QPointF global)> toTwips, std::function<bool()> movable)
    {
        m_toTwips = std::move(toTwips);
        m_movable = std::move(movable);
    }
    bool dragging() const { return m_dragging; }
    // Where the drag took hold, in twips from the handle's corner.
    QPointF grab() const { return m_grab; }
    void endDrag() { m_dragging = false; }

signals:
    // A drag took hold; at each move the pointer is at (twips from the handle's corner).
    void dragStarted();
    void dragged(QPointF at);
    // A button went down or up; global is in screen pixels.
    void pressed(Qt::MouseButton button, QPointF global);
    void released(Qt::MouseButton button, QPointF global);
    // The mouse moved over the handle, or anywhere while a button is held down on it.
    void moved(Qt::MouseButtons buttons, QPointF global);
    void doubleClicked();
    void menuRequested();
    void dropped(const QMimeData* data);
    // A drag that carries files came over the handle.
    void dragEntered();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    bool dropsAllowed() const { return !m_dropsAllowed || m_dropsAllowed(); }
    void press(Qt::MouseButton button, QPointF global);

    QPixmap m_picture;
    std::function<bool()> m_dropsAllowed;
    std::function<QPointF(QPointF)> m_toTwips;
    std::function<bool()> m_movable;
    bool m_dragging{false};
    QPointF m_grab;
};
