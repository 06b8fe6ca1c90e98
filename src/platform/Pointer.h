#pragma once

#include <QPoint>

// The mouse cursor and the screen's twips per pixel.
class Pointer {
public:
    virtual ~Pointer() = default;
    virtual QPoint cursorPixel() const = 0;
    virtual double twipsPerPixelX() const = 0;
    virtual double twipsPerPixelY() const = 0;
};
