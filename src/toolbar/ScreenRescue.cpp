#include "toolbar/ScreenRescue.h"

#include <algorithm>
#include <limits>

namespace {

// The gap between two rectangles along one axis: 0 when their spans overlap.
long long gap(long long aStart, long long aLength, long long bStart, long long bLength)
{
    return std::max({0LL, bStart - (aStart + aLength), aStart - (bStart + bLength)});
}

int fitInside(int at, int length, int areaStart, int areaLength)
{
    // The far edge first, then the near one: a window too large keeps its corner inside.
    const long long far = static_cast<long long>(areaStart) + areaLength - length;
    return static_cast<int>(std::max<long long>(areaStart, std::min<long long>(at, far)));
}

} // namespace

std::optional<QPoint> rescuedPosition(const QRect& window, const std::vector<QRect>& areas)
{
    const QRect* nearest = nullptr;
    long long best = std::numeric_limits<long long>::max();
    for (const QRect& area : areas) {
        if (area.isEmpty())
            continue;
        if (area.intersects(window))
            return std::nullopt;
        const long long dx = gap(window.x(), window.width(), area.x(), area.width());
        const long long dy = gap(window.y(), window.height(), area.y(), area.height());
        const long long distance = dx * dx + dy * dy;
        if (distance < best) {
            best = distance;
            nearest = &area;
        }
    }
    if (!nearest)
        return std::nullopt;
    return QPoint(fitInside(window.x(), window.width(), nearest->x(), nearest->width()),
                  fitInside(window.y(), window.height(), nearest->y(), nearest->height()));
}
