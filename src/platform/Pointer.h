#pragma once

#include <QPoint>
#include <QRect>

// The mouse cursor and the screen's twips per pixel.
class Pointer {
public:
    virtual ~Pointer() = default;
    virtual QPoint cursorPixel() const = 0;
    virtual double twipsPerPixelX() const = 0;
    virtual double twipsPerPixelY() const = 0;
};

// A rectangle given in twips, in whole pixels of the pointer's screen: the windows laid
// out in twips place their controls with it.
inline QRect twipsToPixels(const Pointer& p, int left, int top, int width, int height)
{
    const double x = p.twipsPerPixelX();
    const double y = p.twipsPerPixelY();
    return QRect(qRound(left / x), qRound(top / y), qRound(width / x), qRound(height / y));
}
