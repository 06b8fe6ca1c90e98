#pragma once

#include <QPoint>
#include <QRect>

class QScreen;

// The mouse cursor and a screen's twips per pixel.
class Pointer {
public:
    virtual ~Pointer() = default;
    virtual QPoint cursorPixel() const = 0;
    // Twips per pixel on screen, from its logical DPI; the primary screen when null. A
    // window asks for the screen it is on.
    virtual double twipsPerPixelX(const QScreen* screen = nullptr) const = 0;
    virtual double twipsPerPixelY(const QScreen* screen = nullptr) const = 0;
};

// A rectangle given in twips, in whole pixels of the pointer's screen: the windows laid
// out in twips place their controls with it.
inline QRect twipsToPixels(const Pointer& p, int left, int top, int width, int height)
{
    const double x = p.twipsPerPixelX();
    const double y = p.twipsPerPixelY();
    return QRect(qRound(left / x), qRound(top / y), qRound(width / x), qRound(height / y));
}
