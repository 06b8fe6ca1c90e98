#pragma once

#include <QPixmap>
#include <QWidget>

class QMimeData;

// The drag handle of a toolbar window: a small picture that reports the mouse and file
// drops to its window. Its Tag keeps the window's vertical fold step as decimal text.
class ClawsPicture : public QWidget {
    Q_OBJECT
public:
    explicit ClawsPicture(QWidget* parent = nullptr);

    QString Tag;

    void setPicture(const QPixmap& picture);
    const QPixmap& picture() const { return m_picture; }

signals:
    // button: the button that changed (1 left, 2 right, 4 middle); global: screen pixels.
    void mouseDown(int button, QPointF global);
    void mouseMove(int buttons, QPointF global);
    void mouseUp(int button, QPointF global);
    void doubleClicked();
    void dropped(const QMimeData* data);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    QPixmap m_picture;
};
