#pragma once

#include <QPoint>

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
