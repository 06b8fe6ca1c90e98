#pragma once

#include "platform/Pointer.h"

// The real cursor and the primary screen's logical DPI (1440 twips to the inch).
class QtPointer final : public Pointer {
public:
    QPoint cursorPixel() const override;
    double twipsPerPixelX() const override;
    double twipsPerPixelY() const override;
};
