#include "app/MonitorChoice.h"

#include <algorithm>
#include <cstdint>
#include <limits>

namespace {

int64_t OverlapArea(const QRect &a, const QRect &b)
{
    const QRect i = a & b;
    return i.isEmpty() ? 0 : int64_t(i.width()) * i.height();
}

// Squared distance between two rectangles that do not overlap (0 when they touch).
int64_t GapSquared(const QRect &a, const QRect &b)
{
    const int64_t dx = std::max({0, b.left() - a.right(), a.left() - b.right()});
    const int64_t dy = std::max({0, b.top() - a.bottom(), a.top() - b.bottom()});
    return dx * dx + dy * dy;
}

} // namespace

int MonitorOfWindow(const QRect &window, const QList<QRect> &monitors)
{
    int best = -1;
    int64_t bestArea = 0;
    for (int i = 0; i < monitors.size(); ++i)
        if (const int64_t area = OverlapArea(window, monitors[i]); area > bestArea) {
            best = i;
            bestArea = area;
        }
    if (best >= 0)
        return best;
    int64_t bestGap = std::numeric_limits<int64_t>::max();
    for (int i = 0; i < monitors.size(); ++i)
        if (const int64_t gap = GapSquared(window, monitors[i]); gap < bestGap) {
            best = i;
            bestGap = gap;
        }
    return best;
}
