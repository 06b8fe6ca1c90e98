#pragma once

#include "platform/Pointer.h"

// A cursor the test moves by hand, on a screen of 15 twips per pixel unless told otherwise.
class FakePointer final : public Pointer {
public:
    QPoint cursorPixel() const override { return cursor; }
    double twipsPerPixelX(const QScreen* = nullptr) const override { return perPixelX; }
    double twipsPerPixelY(const QScreen* = nullptr) const override { return perPixelY; }

    QPoint cursor{0, 0};
    double perPixelX = 15.0;
    double perPixelY = 15.0;
};
