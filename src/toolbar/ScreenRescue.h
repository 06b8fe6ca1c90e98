#pragma once

#include <QPoint>
#include <QRect>

#include <optional>
#include <vector>

// Where to bring a window that lies wholly outside every screen's available area (its
// monitor was unplugged, or shrank): fully inside the nearest area, as close as it can be
// to where it was. Nothing when the window overlaps an area, even partly (the user put
// it there), or when there is no area at all. A window larger than the area keeps its
// top-left corner inside it, where its handle is.
std::optional<QPoint> rescuedPosition(const QRect& window, const std::vector<QRect>& areas);
