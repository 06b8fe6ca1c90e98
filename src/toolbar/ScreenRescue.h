#pragma once

#include <QPoint>
#include <QRect>

#include <optional>
#include <vector>

// Where to bring a toolbar's handle that is not wholly inside one screen's available
// area (its monitor was unplugged or shrank, or the user left it across an edge): the
// least move that puts the whole handle inside the nearest area. Nothing when the whole
// handle is inside an area already, or when there is no area at all. The window moves
// by the same distance as its handle.
std::optional<QPoint> rescuedPosition(const QRect& handle, const std::vector<QRect>& areas);
