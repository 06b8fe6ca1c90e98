#pragma once

#include <QPixmap>
#include <QWidget>

// The strip along the configuration window's left edge: the desktop's highlight colour,
// turning towards the colour of the window's text at the top, with the program's name
// running upwards at its foot in the colour text on a highlight has. Taken from the
// palette, it stands out from the window on a light theme (a dusk, darker above) and on a
// dark one (brighter above) alike. Drawn in code, for the strip's size and the screen's
// pixel ratio, so it stays crisp when the desktop scales and reaches the foot of a window
// that a large font made taller.
class SideBar final : public QWidget {
public:
    static constexpr int Width = 33;

    explicit SideBar(QWidget* parent);

    QSize sizeHint() const override { return {Width, 0}; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    static QPixmap draw(QSize size, qreal ratio, const QPalette& palette);

    // Drawn again only when the size, the pixel ratio or the palette changes.
    QPixmap m_picture;
};
