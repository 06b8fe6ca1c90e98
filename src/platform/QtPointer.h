#pragma once

#include "platform/Pointer.h"

// The real cursor and a screen's logical DPI (1440 twips to the inch).
class QtPointer final : public Pointer {
public:
    QPoint cursorPixel() const override;
    double twipsPerPixelX(const QScreen* screen = nullptr) const override;
    double twipsPerPixelY(const QScreen* screen = nullptr) const override;
};
