#pragma once

#include <QFrame>
#include <QImage>

// One cell of the icon picker: a sunken square holding one icon, or nothing. A click on
// it is reported; what it means is the picker's business.
class IconCell : public QFrame {
    Q_OBJECT
public:
    // The side of a cell, in device-independent pixels: room for an icon and a margin.
    static constexpr int Side = 41;

    explicit IconCell(QWidget* parent = nullptr);

    // The picture shown, drawn at its own size (in device-independent pixels) up to the
    // cell's; a null image empties the cell.
    const QImage& picture() const { return m_picture; }
    void setPicture(const QImage& picture);
    // The cell of the chosen icon stands out in the selection colour.
    void setHighlighted(bool on);
    bool highlighted() const { return m_highlighted; }

signals:
    void clicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QImage m_picture;
    bool m_highlighted{false};
    bool m_pressed{false};
};
