#include "toolbar/ScreenRescue.h"

#include <algorithm>
#include <limits>

namespace {

// How far a span must move along one axis to lie inside another: 0 when it does.
long long shift(long long start, long long length, long long areaStart, long long areaLength)
{
    // A span longer than the area keeps its start inside (a handle never is).
    const long long lowest = areaStart;
    const long long highest = std::max(areaStart, areaStart + areaLength - length);
    return std::clamp(start, lowest, highest) - start;
}

} // namespace

std::optional<QPoint> rescuedPosition(const QRect& handle, const std::vector<QRect>& areas)
{
    std::optional<QPoint> best;
    long long bestDistance = std::numeric_limits<long long>::max();
    for (const QRect& area : areas) {
        if (area.isEmpty())
            continue;
        const long long dx = shift(handle.x(), handle.width(), area.x(), area.width());
        const long long dy = shift(handle.y(), handle.height(), area.y(), area.height());
        if (dx == 0 && dy == 0)
            return std::nullopt;
        const long long distance = dx * dx + dy * dy;
        if (distance < bestDistance) {
            bestDistance = distance;
            best = QPoint(static_cast<int>(handle.x() + dx), static_cast<int>(handle.y() + dy));
        }
    }
    return best;
}
